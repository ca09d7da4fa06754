#include "filelistview.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace quirex::app::ui
{

namespace
{

// Drag data of an item of a list: "<list id> <row>". The list id keeps a drag
// from one list (or one window) from reordering another.
const QString RowMimeType = QStringLiteral("application/x-quirex-list-row");

QByteArray listId(const FileListView *list)
{
    return QByteArray::number(quintptr(list), 16);
}

} // namespace

FileListView::FileListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setReorderable(false);
}

void FileListView::setReorderable(bool on)
{
    setDragEnabled(on);
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
    setDropIndicatorShown(on);
    setDragDropMode(on ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
}

QStringList FileListView::paths() const
{
    QStringList result;
    const int count = topLevelItemCount();
    result.reserve(count);
    for (int i = 0; i < count; ++i)
        result << topLevelItem(i)->text(0);
    return result;
}

bool FileListView::isRowSelected(int row) const
{
    const QTreeWidgetItem *item = topLevelItem(row);
    return item && item->isSelected();
}

QMimeData *FileListView::rowDragData(int row) const
{
    auto *data = new QMimeData;
    data->setData(RowMimeType, listId(this) + ' ' + QByteArray::number(row));
    return data;
}

void FileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        emit rowDoubleClicked(index.row());
    else
        emit emptySpaceDoubleClicked();
    event->accept();
}

void FileListView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit commandKey(event->key());
        event->accept();
        return;
    default:
        QTreeWidget::keyPressEvent(event);
    }
}

void FileListView::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    if (topLevelItemCount() > 0 && selectedItems().isEmpty()) {
        setCurrentItem(topLevelItem(0));
        topLevelItem(0)->setSelected(true);
    }
}

void FileListView::startDrag(Qt::DropActions)
{
    const QModelIndex source = currentIndex();
    if (!source.isValid())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(rowDragData(source.row()));
    drag->exec(Qt::MoveAction);
}

int FileListView::draggedRow(const QMimeData *data) const
{
    if (!data || !data->hasFormat(RowMimeType))
        return -1;
    const QList<QByteArray> parts = data->data(RowMimeType).split(' ');
    if (parts.size() != 2 || parts[0] != listId(this))
        return -1;
    bool ok = false;
    const int row = parts[1].toInt(&ok);
    return ok && row >= 0 && row < topLevelItemCount() ? row : -1;
}

bool FileListView::acceptsDrag(const QMimeData *data) const
{
    if (draggedRow(data) >= 0)
        return true;
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

void FileListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    QTreeWidget::dragMoveEvent(event);
    event->acceptProposedAction();
}

void FileListView::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const int source = draggedRow(data);
    if (source >= 0) {
        // Only a drop on an item moves anything; the view itself never moves
        // items, the owner does.
        const QModelIndex target = indexAt(event->pos());
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        if (target.isValid())
            emit rowDropped(source, target.row());
        return;
    }
    QStringList dropped;
    if (data && data->hasUrls())
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                dropped << url.toLocalFile();
    event->acceptProposedAction();
    if (!dropped.isEmpty())
        emit pathsDropped(dropped);
}

} // namespace quirex::app::ui
