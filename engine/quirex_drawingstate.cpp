// The drawing state of the engine object: the pen, brush, background and
// font that the drawing interface draws with, read and written as
// properties, and handed to the painter while painting is active.
#include "quirex.h"
#include "quirex_p.h"

#include "drawingwords.h"

#include <algorithm>
#include <cmath>

using namespace quirex::engine;

// ---- font -----------------------------------------------------------------

void QUIREXPrivate::giveFontToPainter()
{
    if (output.m_painter.isActive())
        output.m_painter.setFont(drawing.m_font);
}

void QUIREXPrivate::applyStoredFontAttributes()
{
    QFont &font = drawing.m_font;
    const Drawing::StoredFontAttributes &stored = drawing.m_storedFont;
    font.setFixedPitch(stored.fixedPitch);
    font.setKerning(stored.kerning);
    font.setOverline(stored.overline);
    font.setStretch(std::clamp(stored.stretch, 1, 4000));
    font.setStrikeOut(stored.strikeOut);
    font.setUnderline(stored.underline);
    font.setLetterSpacing(QFont::PercentageSpacing, stored.letterSpacing);
    if (stored.pointSize > 0)
        font.setPointSizeF(stored.pointSize * m_renderScale);
    giveFontToPainter();
}

QString QUIREX::fontFamily() const
{
    return d->drawing.m_font.family();
}

void QUIREX::setFontFamily(const QString &value)
{
    d->drawing.m_storedFont.family = value;
    d->drawing.m_font.setFamily(value);
    d->giveFontToPainter();
}

bool QUIREX::fontFixedPitch() const
{
    return d->drawing.m_font.fixedPitch();
}

void QUIREX::setFontFixedPitch(bool value)
{
    d->drawing.m_storedFont.fixedPitch = value;
    d->drawing.m_font.setFixedPitch(value);
    d->giveFontToPainter();
}

bool QUIREX::fontKerning() const
{
    return d->drawing.m_font.kerning();
}

void QUIREX::setFontKerning(bool value)
{
    d->drawing.m_storedFont.kerning = value;
    d->drawing.m_font.setKerning(value);
    d->giveFontToPainter();
}

double QUIREX::fontLetterSpacing() const
{
    return d->drawing.m_storedFont.letterSpacing;
}

void QUIREX::setFontLetterSpacing(double percent)
{
    d->drawing.m_storedFont.letterSpacing = percent;
    d->drawing.m_font.setLetterSpacing(QFont::PercentageSpacing, percent);
    d->giveFontToPainter();
}

bool QUIREX::fontOverline() const
{
    return d->drawing.m_font.overline();
}

void QUIREX::setFontOverline(bool value)
{
    d->drawing.m_storedFont.overline = value;
    d->drawing.m_font.setOverline(value);
    d->giveFontToPainter();
}

int QUIREX::fontPointSize() const
{
    return static_cast<int>(
        std::lround(d->drawing.m_font.pointSizeF() / QUIREXPrivate::m_renderScale));
}

void QUIREX::setFontPointSize(int points)
{
    d->drawing.m_storedFont.pointSize = points;
    if (points > 0)
        d->drawing.m_font.setPointSizeF(points * QUIREXPrivate::m_renderScale);
    d->giveFontToPainter();
}

int QUIREX::fontStretch() const
{
    return d->drawing.m_font.stretch();
}

void QUIREX::setFontStretch(int percent)
{
    d->drawing.m_storedFont.stretch = percent;
    d->drawing.m_font.setStretch(std::clamp(percent, 1, 4000));
    d->giveFontToPainter();
}

bool QUIREX::fontStrikeOut() const
{
    return d->drawing.m_font.strikeOut();
}

void QUIREX::setFontStrikeOut(bool value)
{
    d->drawing.m_storedFont.strikeOut = value;
    d->drawing.m_font.setStrikeOut(value);
    d->giveFontToPainter();
}

QString QUIREX::fontStyle() const
{
    return fontStyleWord(d->drawing.m_font.style());
}

void QUIREX::setFontStyle(const QString &word)
{
    QFont::Style style = d->drawing.m_font.style();
    if (!fontStyleFromWord(word, &style))
        return;
    d->drawing.m_storedFont.style = style;
    d->drawing.m_font.setStyle(style);
    d->giveFontToPainter();
}

bool QUIREX::fontUnderline() const
{
    return d->drawing.m_font.underline();
}

void QUIREX::setFontUnderline(bool value)
{
    d->drawing.m_storedFont.underline = value;
    d->drawing.m_font.setUnderline(value);
    d->giveFontToPainter();
}

QString QUIREX::fontWeight() const
{
    return fontWeightWord(d->drawing.m_font.weight());
}

void QUIREX::setFontWeight(const QString &word)
{
    d->drawing.m_storedFont.weight = fontWeightFromWord(word);
    d->drawing.m_font.setWeight(d->drawing.m_storedFont.weight);
    d->giveFontToPainter();
}

double QUIREX::fontWordSpacing() const
{
    return d->drawing.m_font.wordSpacing() / QUIREXPrivate::m_renderScale;
}

void QUIREX::setFontWordSpacing(double devicePixels)
{
    d->drawing.m_storedFont.wordSpacing = devicePixels;
    d->drawing.m_font.setWordSpacing(devicePixels * QUIREXPrivate::m_renderScale);
    d->giveFontToPainter();
}

// ---- pen, brush, background -----------------------------------------------

void QUIREXPrivate::givePenToPainter()
{
    if (output.m_painter.isActive())
        output.m_painter.setPen(drawing.m_pen);
}

QString QUIREX::penStyle() const
{
    return penStyleWord(d->drawing.m_pen.style());
}

void QUIREX::setPenStyle(const QString &word)
{
    d->drawing.m_pen.setStyle(penStyleFromWord(word));
    d->givePenToPainter();
}

QString QUIREX::penCapStyle() const
{
    return penCapWord(d->drawing.m_pen.capStyle());
}

void QUIREX::setPenCapStyle(const QString &word)
{
    d->drawing.m_pen.setCapStyle(penCapFromWord(word));
    d->givePenToPainter();
}

int QUIREX::penWidth() const
{
    return d->drawing.m_pen.width();
}

void QUIREX::setPenWidth(int value)
{
    d->drawing.m_pen.setWidth(std::max(0, value));
    d->givePenToPainter();
}

QString QUIREX::penJoinStyle() const
{
    return penJoinWord(d->drawing.m_pen.joinStyle());
}

void QUIREX::setPenJoinStyle(const QString &word)
{
    d->drawing.m_pen.setJoinStyle(penJoinFromWord(word));
    d->givePenToPainter();
}

QString QUIREX::penColor() const
{
    return d->drawing.m_pen.color().name();
}

void QUIREX::setPenColor(const QString &name)
{
    d->drawing.m_pen.setColor(QColor(name));
    d->givePenToPainter();
}

QString QUIREX::fillingColor() const
{
    // An inactive painter has the default brush, black and empty.
    const QPainter &painter = d->output.m_painter;
    return painter.isActive() ? painter.brush().color().name() : QBrush().color().name();
}

void QUIREX::setFillingColor(const QString &name)
{
    // The brush belongs to the painter, which starts afresh at every start
    // of painting: a colour written before BeginDoc does not survive it.
    if (d->output.m_painter.isActive())
        d->output.m_painter.setBrush(QBrush(QColor(name)));
}

QString QUIREX::backgroundMode() const
{
    const QPainter &painter = d->output.m_painter;
    return backgroundModeWord(painter.isActive() ? painter.backgroundMode() : Qt::TransparentMode);
}

void QUIREX::setBackgroundMode(const QString &word)
{
    d->drawing.m_backgroundModeText = word;
    if (d->output.m_painter.isActive())
        d->output.m_painter.setBackgroundMode(backgroundModeFromWord(word));
}

QString QUIREX::backgroundColor() const
{
    // An inactive painter has the default background, white.
    const QPainter &painter = d->output.m_painter;
    return painter.isActive() ? painter.background().color().name() : QColor(Qt::white).name();
}

void QUIREX::setBackgroundColor(const QString &name)
{
    d->drawing.m_backgroundBrush = QBrush(QColor(name));
    if (d->output.m_painter.isActive())
        d->output.m_painter.setBackground(d->drawing.m_backgroundBrush);
}
