#pragma once

#include "conversionprogress.h"
#include "stringtable.h"

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace quirex::app::ui
{

// The modeless "Converting..." window of a window-mode run: one overall bar
// for the whole run, the name of the file being converted, and Cancel. It is
// the converter's progress: step() advances the bar and lets waiting events
// run, so the windows stay painted and Cancel is seen during a synchronous
// conversion. A new object serves each run.
class CProgressDlg final : public QDialog, public ConversionProgress
{
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget *owner, int language = interfaceLanguage());

    // The bar's range is 0 .. `maximum` (5 per input). The whole int range is
    // kept, so runs of any length show their true progress; larger values
    // are limited to the largest int.
    void setRangeMaximum(qint64 maximum);
    int rangeMaximum() const;
    int value() const;

    void setUpperText(const QString &text);
    void setLowerText(const QString &text);

    // Advances the bar by `units` (never past its maximum), then pumps.
    void step(int units) override;
    bool cancelled() const override { return m_cancelled; }
    // What the Cancel button does: the run stops at the converter's next look.
    void cancel() { m_cancelled = true; }

    // Runs every event waiting in the thread's queue, without waiting.
    static void pumpMessages();

protected:
    // Enter and Escape have no meaning here, and the window has no close box:
    // it ends only when the run that owns it ends.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override {}

private:
    QProgressBar *m_bar;
    QLabel *m_upper;
    QLabel *m_lower;
    QPushButton *m_cancel;
    bool m_cancelled = false;
};

} // namespace quirex::app::ui
