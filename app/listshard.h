#pragma once

#include <QString>
#include <QVector>

namespace quirex::app
{

// One share of a batch run's inputs, for spreading one list over several
// processes or machines: entries index, index + count, index + 2 * count, ...
// of the list (1-based, counting entries, not blank lines). The default is the
// whole list.
struct ListShard {
    int index = 1; // 1 <= index <= count
    int count = 1;
    bool isWhole() const { return count == 1; }
};

// Reads "K/N": two decimal numbers (ASCII digits only, at most nine each)
// with 1 <= K <= N. False for any other text, `shard` then unchanged.
bool parseListShard(const QString &text, ListShard *shard);

// The 0-based positions of the shard's entries in a list of `size` entries, in
// list order; empty when the list is shorter than the shard's index.
QVector<int> shardPositions(int size, const ListShard &shard);

} // namespace quirex::app
