#pragma once

namespace quirex::app
{

// Makes the per-user registry name a damaged file, with the lines it skipped,
// in the application log and on stderr, once per file.
void reportRegistryDamage();

} // namespace quirex::app
