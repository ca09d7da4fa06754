#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace quirex::app::ui
{

// One of the main window's two lists: one "File Name" column of full paths.
// It reports double clicks on items and on empty space, the Delete, Insert and
// Enter keys, and, when reordering is on, items dragged onto other items and
// files or folders dropped from a file manager.
class FileListView final : public QTreeWidget
{
    Q_OBJECT
public:
    explicit FileListView(QWidget *parent = nullptr);

    // Lets the user drag items onto other items and drop files from outside.
    void setReorderable(bool on);

    QStringList paths() const;
    bool isRowSelected(int row) const;

    // The drag data of a drag that starts at `row` of this list; a drop of it
    // on this list moves the selection (tests build drops with it).
    QMimeData *rowDragData(int row) const;

signals:
    void emptySpaceDoubleClicked();
    void rowDoubleClicked(int row);
    void commandKey(int key);
    // The item dragged from `source` was dropped on the item at `target`.
    void rowDropped(int source, int target);
    // Local files and folders dropped from another application.
    void pathsDropped(const QStringList &paths);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool acceptsDrag(const QMimeData *data) const;
    int draggedRow(const QMimeData *data) const;
};

} // namespace quirex::app::ui
