#include "listshard.h"

namespace quirex::app
{

namespace
{

// A run of 1 to 9 ASCII digits, so the value always fits an int.
bool readNumber(const QString &text, int *value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    int number = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        number = number * 10 + (c.unicode() - '0');
    }
    *value = number;
    return true;
}

} // namespace

bool parseListShard(const QString &text, ListShard *shard)
{
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return false;
    int index = 0;
    int count = 0;
    if (!readNumber(text.left(slash), &index) || !readNumber(text.mid(slash + 1), &count))
        return false;
    if (index < 1 || index > count)
        return false;
    shard->index = index;
    shard->count = count;
    return true;
}

QVector<int> shardPositions(int size, const ListShard &shard)
{
    QVector<int> positions;
    if (shard.count < 1 || shard.index < 1 || shard.index > shard.count)
        return positions;
    positions.reserve(size / shard.count + 1);
    for (qint64 at = shard.index - 1; at < size; at += shard.count)
        positions.append(int(at));
    return positions;
}

} // namespace quirex::app
