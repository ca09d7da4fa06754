#include "drawingwords.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

namespace quirex::engine
{

namespace
{

template <typename T> using WordTable = std::initializer_list<std::pair<const char *, T>>;

template <typename T> bool lookUpValue(WordTable<T> table, const QString &word, T *value)
{
    const QString lower = word.toLower();
    for (const auto &[name, entry] : table) {
        if (lower == QLatin1String(name)) {
            *value = entry;
            return true;
        }
    }
    return false;
}

template <typename T> QString lookUpWord(WordTable<T> table, T value, const char *unknown)
{
    for (const auto &[name, entry] : table)
        if (entry == value)
            return QString::fromLatin1(name);
    return QString::fromLatin1(unknown);
}

const WordTable<Qt::PenStyle> kPenStyles = {
    {"solidline", Qt::SolidLine},
    {"dashline", Qt::DashLine},
    {"dotline", Qt::DotLine},
    {"dashdotline", Qt::DashDotLine},
    {"dashdotdotline", Qt::DashDotDotLine},
};

const WordTable<Qt::PenCapStyle> kPenCaps = {
    {"squarecap", Qt::SquareCap},
    {"flatcap", Qt::FlatCap},
    {"roundcap", Qt::RoundCap},
};

const WordTable<Qt::PenJoinStyle> kPenJoins = {
    {"miterjoin", Qt::MiterJoin},
    {"beveljoin", Qt::BevelJoin},
    {"roundjoin", Qt::RoundJoin},
    {"svgmiterjoin", Qt::SvgMiterJoin},
};

const WordTable<Qt::BGMode> kBackgroundModes = {
    {"transparent", Qt::TransparentMode},
    {"opaque", Qt::OpaqueMode},
};

const WordTable<QFont::Style> kFontStyles = {
    {"normal", QFont::StyleNormal},
    {"italic", QFont::StyleItalic},
    {"oblique", QFont::StyleOblique},
};

const WordTable<int> kFontWeights = {
    {"light", 25}, {"normal", 50}, {"demibold", 63}, {"bold", 75}, {"black", 87},
};

const WordTable<int> kTextLayouts = {
    {"alignleft", 0x0001},      {"alignright", 0x0002},       {"alignhcenter", 0x0004},
    {"alignjustify", 0x0008},   {"aligntop", 0x0020},         {"alignbottom", 0x0040},
    {"alignvcenter", 0x0080},   {"aligncenter", 0x0084},      {"textsingleline", 0x0100},
    {"textexpandtabs", 0x0400}, {"textshowmnemonic", 0x0800}, {"textwordwrap", 0x1000},
};

} // namespace

Qt::PenStyle penStyleFromWord(const QString &word)
{
    Qt::PenStyle style = Qt::SolidLine;
    lookUpValue(kPenStyles, word, &style);
    return style;
}

QString penStyleWord(Qt::PenStyle style)
{
    return lookUpWord(kPenStyles, style, "unknown pen style");
}

Qt::PenCapStyle penCapFromWord(const QString &word)
{
    Qt::PenCapStyle cap = Qt::SquareCap;
    lookUpValue(kPenCaps, word, &cap);
    return cap;
}

QString penCapWord(Qt::PenCapStyle cap)
{
    return lookUpWord(kPenCaps, cap, "unknown pen cap style");
}

Qt::PenJoinStyle penJoinFromWord(const QString &word)
{
    Qt::PenJoinStyle join = Qt::BevelJoin;
    lookUpValue(kPenJoins, word, &join);
    return join;
}

QString penJoinWord(Qt::PenJoinStyle join)
{
    return lookUpWord(kPenJoins, join, "unknown pen join style");
}

Qt::BGMode backgroundModeFromWord(const QString &word)
{
    Qt::BGMode mode = Qt::TransparentMode;
    lookUpValue(kBackgroundModes, word, &mode);
    return mode;
}

QString backgroundModeWord(Qt::BGMode mode)
{
    return lookUpWord(kBackgroundModes, mode, "unknown background mode");
}

bool fontStyleFromWord(const QString &word, QFont::Style *style)
{
    return lookUpValue(kFontStyles, word, style);
}

QString fontStyleWord(QFont::Style style)
{
    return lookUpWord(kFontStyles, style, "unresolved font style");
}

int fontWeightFromWord(const QString &word)
{
    int weight = 50;
    lookUpValue(kFontWeights, word, &weight);
    return weight;
}

QString fontWeightWord(int weight)
{
    return lookUpWord(kFontWeights, weight, "unresolved font weight");
}

int textLayoutFlags(const QString &layout)
{
    const QStringList words = layout.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return 0x0021;
    int flags = 0;
    for (const QString &word : words) {
        int flag = 0;
        if (lookUpValue(kTextLayouts, word, &flag))
            flags |= flag;
    }
    return flags;
}

} // namespace quirex::engine
