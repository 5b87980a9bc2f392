#include "platform/lists.h"

#include "core/checkedmath.h"
#include "platform/eventguard.h"
#include "core/folderlisting.h"
#include "core/runtimeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringListModel>

#include <algorithm>

namespace platform {

using namespace quorbel;

namespace {

VolumeLister &volumeLister()
{
    static VolumeLister lister;
    return lister;
}

QStringList mountedVolumes()
{
    if (volumeLister())
        return volumeLister()();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            roots.append(volume.rootPath());
    }
    std::sort(roots.begin(), roots.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return roots;
}

QString withoutTrailingSeparator(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    return QDir(clean).isRoot() ? QDir(clean).absolutePath() : clean;
}

} // namespace

void setVolumeLister(VolumeLister lister)
{
    volumeLister() = std::move(lister);
}

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    refreshVolumes();
    // It starts on the volume of the program's working folder, at that folder.
    const QString root = volumeOf(QDir::currentPath());
    m_folders.insert(root, QDir::currentPath());
    select(root);
    connect(this, &QComboBox::activated, this, [this](int index) { userPicked(index); });
}

QString DriveListBox::drive() const
{
    const QString folder = m_folders.value(m_drive);
    return QFileInfo(folder).isDir() ? folder : m_drive;
}

void DriveListBox::setDrive(const QString &path)
{
    const QString root = volumeOf(path);
    m_folders.insert(root, QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (root == m_drive)
        return;
    select(root);
    if (onChange)
        onChange();
}

void DriveListBox::showPopup()
{
    refreshVolumes();
    QComboBox::showPopup();
}

void DriveListBox::refreshVolumes()
{
    const QStringList roots = mountedVolumes();
    clear();
    for (const QString &root : roots)
        addItem(root, root);
    select(m_drive);
}

QString DriveListBox::volumeOf(const QString &path) const
{
    // The listed volume whose root is the longest leading part of the path holds it.
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        if ((absolute == root || (absolute + u'/').startsWith(prefix)) && root.size() > best.size())
            best = root;
    }
    return best.isEmpty() ? QStorageInfo(absolute).rootPath() : best;
}

void DriveListBox::select(const QString &root)
{
    m_drive = root;
    int index = findData(root);
    if (index < 0 && !root.isEmpty()) {
        addItem(root, root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveListBox::userPicked(int index)
{
    const QString previous = m_drive;
    const QString picked = itemData(index).toString();
    if (picked == previous)
        return;
    runEvent([&] {
        try {
            m_drive = picked;
            if (onChange)
                onChange();
        } catch (const RuntimeError &error) {
            // A drive that cannot be opened moved nothing, so the drive list goes back to
            // the folder the other lists still show.
            if (error.number() == err::PathNotFound)
                select(previous);
            throw;
        }
    });
}

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent), m_path(withoutTrailingSeparator(QDir::currentPath()))
{
    fill();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const QString target = item->data(Qt::UserRole).toString();
        runEvent([this, target] { setPath(target); });
    });
}

void DirListBox::setPath(const QString &path)
{
    const QFileInfo info(QDir(m_path).absoluteFilePath(path));
    if (!info.isDir())
        quorbel::raise(err::PathNotFound);
    const QString target = withoutTrailingSeparator(info.absoluteFilePath());
    if (target == m_path)
        return;
    m_path = target;
    fill();
    if (onChange)
        onChange();
}

void DirListBox::fill()
{
    clear();
    // The current folder's ancestors from the root down, then its subfolders.
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    const QString indent = QStringLiteral("  ");
    for (const QString &folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto *item = new QListWidgetItem(indent.repeated(depth++) + name, this);
        item->setData(Qt::UserRole, folder);
    }
    setCurrentRow(count() - 1);
    for (const QString &name : subfolders(m_path)) {
        auto *item = new QListWidgetItem(indent.repeated(depth) + name, this);
        item->setData(Qt::UserRole, QDir(m_path).absoluteFilePath(name));
    }
}

FileListBox::FileListBox(QWidget *parent)
    : QListView(parent)
    , m_model(new QStringListModel(this))
    , m_path(withoutTrailingSeparator(QDir::currentPath()))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    fill();
}

void FileListBox::setPath(const QString &path)
{
    if (!QFileInfo(path).isDir())
        quorbel::raise(err::PathNotFound);
    m_path = path;
    fill();
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    fill();
}

qint16 FileListBox::listCount() const
{
    return checkedResult<qint16>(m_model->rowCount());
}

void FileListBox::setSelected(int index)
{
    if (index < 0 || index >= m_model->rowCount())
        quorbel::raise(err::InvalidPropertyArrayIndex);
    setCurrentIndex(m_model->index(index));
}

QString FileListBox::fileName() const
{
    return currentIndex().isValid() ? currentIndex().data().toString() : QString();
}

void FileListBox::fill()
{
    const QString pattern = m_pattern.isEmpty() ? QStringLiteral("*") : m_pattern;
    m_model->setStringList(matchingFiles(m_path, {pattern}, Order::Sorted));
}

} // namespace platform
