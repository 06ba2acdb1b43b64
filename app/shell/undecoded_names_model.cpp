// The added rows come after the source's rows of the folder, so the source's own
// insertions and removals, which the identity proxy passes on unchanged, move them
// along. A change of the source's layout (Qt sorts its rows again as it learns more of
// its files) keeps its number of rows, and so the added rows' places: the proxy passes
// it on itself, since the identity proxy would map the added rows' persistent indexes
// (a view's choice, its current row) through the source and lose them. The added rows
// are read again when the dialog's folder or filters change, and when Qt loads the
// folder again after a change in it.
#include "app/shell/undecoded_names_model.h"

#include <QCollator>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <algorithm>
#include <sys/stat.h>
#include <utility>

#include "app/shell/path_text.h"

namespace {

bool MatchesAny(const QString& name, const std::vector<QRegularExpression>& patterns)
{
    return patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&name](const QRegularExpression& p) {
               return p.match(name).hasMatch();
           });
}

}  // namespace

void CUndecodedNamesModel::setSourceModel(QAbstractItemModel* source)
{
    if (m_files)
        disconnect(m_files, nullptr, this, nullptr);
    m_entries.clear();
    m_folder = QModelIndex();
    m_files = qobject_cast<QFileSystemModel*>(source);
    QIdentityProxyModel::setSourceModel(source);
    if (!m_files)
        return;
    disconnect(m_files, &QAbstractItemModel::layoutAboutToBeChanged, this, nullptr);
    disconnect(m_files, &QAbstractItemModel::layoutChanged, this, nullptr);
    connect(m_files, &QAbstractItemModel::layoutAboutToBeChanged, this, &CUndecodedNamesModel::SourceLayoutToChange);
    connect(m_files, &QAbstractItemModel::layoutChanged, this, &CUndecodedNamesModel::SourceLayoutChanged);
    // A new folder is read at once (Qt may have it loaded already, and then tells of no
    // load); Qt's first load of it after that is read again only when the folder has
    // changed since, its later loads (of changes) always.
    connect(m_files, &QFileSystemModel::rootPathChanged, this, [this] {
        Rescan();
        m_firstLoadPending = true;
    });
    connect(m_files, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (path != m_files->rootPath())
            return;
        const bool firstLoad = std::exchange(m_firstLoadPending, false);
        if (!firstLoad || FolderStamp(path) != m_folderStamp)
            Rescan();
    });
    // A change of the filters shows only as the rows Qt adds, drops or reorders.
    const auto followFilters = [this] {
        if (FilterKey() != m_filterKey)
            Rescan();
    };
    connect(m_files, &QAbstractItemModel::layoutChanged, this, followFilters);
    connect(m_files, &QAbstractItemModel::rowsInserted, this, followFilters);
    connect(m_files, &QAbstractItemModel::rowsRemoved, this, followFilters);
    connect(m_files, &QAbstractItemModel::modelReset, this, [this] { Rescan(); });
    Rescan();
    m_firstLoadPending = true;
}

QList<QPersistentModelIndex> CUndecodedNamesModel::MapParents(const QList<QPersistentModelIndex>& sourceParents) const
{
    QList<QPersistentModelIndex> parents;
    for (const QPersistentModelIndex& parent : sourceParents)
        parents << (parent.isValid() ? QPersistentModelIndex(mapFromSource(parent)) : QPersistentModelIndex());
    return parents;
}

void CUndecodedNamesModel::SourceLayoutToChange(const QList<QPersistentModelIndex>& sourceParents,
                                                QAbstractItemModel::LayoutChangeHint hint)
{
    emit layoutAboutToBeChanged(MapParents(sourceParents), hint);
    m_layoutRows.clear();
    for (const QModelIndex& row : persistentIndexList()) {
        if (!IsUndecoded(row))
            m_layoutRows.emplace_back(row, mapToSource(row));
    }
}

void CUndecodedNamesModel::SourceLayoutChanged(const QList<QPersistentModelIndex>& sourceParents,
                                               QAbstractItemModel::LayoutChangeHint hint)
{
    for (const auto& [row, source] : std::exchange(m_layoutRows, {}))
        changePersistentIndex(row, mapFromSource(source));
    emit layoutChanged(MapParents(sourceParents), hint);
}

bool CUndecodedNamesModel::IsUndecoded(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.internalPointer() == this;
}

bool CUndecodedNamesModel::IsListedFolder(const QModelIndex& parent) const
{
    return !m_entries.empty() && m_folder.isValid() && parent.isValid() && !IsUndecoded(parent) &&
           QIdentityProxyModel::mapToSource(parent) == m_folder;
}

int CUndecodedNamesModel::SourceRows() const
{
    return m_files ? m_files->rowCount(m_folder) : 0;
}

const CUndecodedNamesModel::Entry* CUndecodedNamesModel::EntryAt(const QModelIndex& index) const
{
    if (!IsUndecoded(index))
        return nullptr;
    const int row = index.row() - SourceRows();
    return row >= 0 && row < int(m_entries.size()) ? &m_entries[size_t(row)] : nullptr;
}

QModelIndex CUndecodedNamesModel::index(int row, int column, const QModelIndex& parent) const
{
    if (IsListedFolder(parent) && row >= SourceRows()) {
        if (row >= rowCount(parent) || column < 0 || column >= columnCount(parent))
            return {};
        return createIndex(row, column, this);
    }
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex CUndecodedNamesModel::parent(const QModelIndex& child) const
{
    return IsUndecoded(child) ? mapFromSource(m_folder) : QIdentityProxyModel::parent(child);
}

QModelIndex CUndecodedNamesModel::sibling(int row, int column, const QModelIndex& index) const
{
    return index.isValid() ? this->index(row, column, parent(index)) : QModelIndex();
}

int CUndecodedNamesModel::rowCount(const QModelIndex& parent) const
{
    if (IsUndecoded(parent))
        return 0;
    const int rows = QIdentityProxyModel::rowCount(parent);
    return IsListedFolder(parent) ? rows + int(m_entries.size()) : rows;
}

bool CUndecodedNamesModel::hasChildren(const QModelIndex& parent) const
{
    if (IsUndecoded(parent))
        return false;
    return IsListedFolder(parent) || QIdentityProxyModel::hasChildren(parent);
}

bool CUndecodedNamesModel::canFetchMore(const QModelIndex& parent) const
{
    return !IsUndecoded(parent) && QIdentityProxyModel::canFetchMore(parent);
}

void CUndecodedNamesModel::fetchMore(const QModelIndex& parent)
{
    if (!IsUndecoded(parent))
        QIdentityProxyModel::fetchMore(parent);
}

QModelIndex CUndecodedNamesModel::mapToSource(const QModelIndex& proxyIndex) const
{
    return IsUndecoded(proxyIndex) ? QModelIndex() : QIdentityProxyModel::mapToSource(proxyIndex);
}

QModelIndex CUndecodedNamesModel::buddy(const QModelIndex& index) const
{
    return IsUndecoded(index) ? index : QIdentityProxyModel::buddy(index);
}

QVariant CUndecodedNamesModel::data(const QModelIndex& index, int role) const
{
    if (!IsUndecoded(index))
        return QIdentityProxyModel::data(index, role);
    const Entry* entry = EntryAt(index);
    if (!entry)
        return {};
    if (role == QFileSystemModel::FilePathRole)
        return entry->path;
    if (role == QFileSystemModel::FileNameRole)
        return entry->shown;
    // The columns of Qt's model: name, size, type, date modified.
    switch (index.column()) {
    case 0:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return entry->shown;
        if (role == Qt::DecorationRole && m_files->iconProvider())
            return m_files->iconProvider()->icon(QAbstractFileIconProvider::File);
        break;
    case 1:
        if (role == Qt::DisplayRole)
            return QLocale::system().formattedDataSize(entry->size);
        if (role == Qt::TextAlignmentRole)
            return QVariant(Qt::AlignTrailing | Qt::AlignVCenter);
        break;
    case 2:
        if (role == Qt::DisplayRole)
            return entry->type;
        break;
    case 3:
        if (role == Qt::DisplayRole)
            return QLocale::system().toString(entry->modified, QLocale::ShortFormat);
        break;
    default:
        break;
    }
    return {};
}

Qt::ItemFlags CUndecodedNamesModel::flags(const QModelIndex& index) const
{
    if (!IsUndecoded(index))
        return QIdentityProxyModel::flags(index);
    const Entry* entry = EntryAt(index);
    if (!entry)
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | (entry->matches ? Qt::ItemIsEnabled : Qt::NoItemFlags);
}

QModelIndexList CUndecodedNamesModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                            Qt::MatchFlags flags) const
{
    return QAbstractItemModel::match(start, role, value, hits, flags);
}

QString CUndecodedNamesModel::FilterKey() const
{
    return QString::number(int(m_files->filter())) + (m_files->nameFilterDisables() ? u'1' : u'0') +
           m_files->nameFilters().join(QChar(0));
}

CUndecodedNamesModel::Stamp CUndecodedNamesModel::FolderStamp(const QString& folder)
{
    QByteArray bytes;
    struct stat info {};
    if (!quorvel::SystemBytesFromText(folder, &bytes) || stat(bytes.constData(), &info) != 0)
        return {};
    return {qint64(info.st_ino), qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec),
            qint64(info.st_ctim.tv_sec), qint64(info.st_ctim.tv_nsec)};
}

std::vector<CUndecodedNamesModel::Entry> CUndecodedNamesModel::ReadFolder(const QString& folder) const
{
    std::vector<Entry> entries;
    const QDir::Filters filters = m_files->filter();
    QByteArray bytes;
    if (!(filters & QDir::Files) || !quorvel::SystemBytesFromText(folder, &bytes))
        return entries;
    const Qt::CaseSensitivity sensitivity = filters & QDir::CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    std::vector<QRegularExpression> patterns;
    for (const QString& pattern : m_files->nameFilters())
        patterns.push_back(QRegularExpression::fromWildcard(pattern, sensitivity));
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QMimeDatabase types;
    quorvel::ForEachFolderEntry(folder, [&](const char* item) {
        QString name;
        if (!quorvel::TextFromSystemBytes(QByteArray(item), &name))
            return true;
        Entry entry;
        entry.shown = quorvel::DisplayText(name);
        // Qt lists every name that is UTF-8; hidden names only when asked to.
        if (entry.shown == name || (name.startsWith(QLatin1Char('.')) && !(filters & QDir::Hidden)))
            return true;
        struct stat info {};
        const QByteArray path = bytes + '/' + item;
        if (stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return true;
        entry.matches = MatchesAny(entry.shown, patterns);
        if (!entry.matches && !m_files->nameFilterDisables())
            return true;
        entry.path = prefix + name;
        const QMimeType type = types.mimeTypeForFile(entry.shown, QMimeDatabase::MatchExtension);
        entry.type = type.comment().isEmpty() ? type.name() : type.comment();
        entry.size = qint64(info.st_size);
        entry.modified = QDateTime::fromSecsSinceEpoch(qint64(info.st_mtim.tv_sec));
        entries.push_back(std::move(entry));
        return true;
    });
    // With the collation Qt orders its rows by name (numbers by value where the system
    // can, without regard to case); names shown alike in the order of their bytes.
    QCollator byName;
    byName.setNumericMode(true);
    byName.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(entries.begin(), entries.end(), [&byName](const Entry& a, const Entry& b) {
        const int order = byName.compare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.path < b.path;
    });
    return entries;
}

void CUndecodedNamesModel::Rescan()
{
    const QString root = m_files->rootPath();
    const QPersistentModelIndex folder = root.isEmpty() ? QModelIndex() : m_files->index(root);
    m_folderStamp = FolderStamp(root);
    std::vector<Entry> entries = folder.isValid() ? ReadFolder(root) : std::vector<Entry>();
    m_filterKey = FilterKey();
    if (folder == m_folder && entries == m_entries)
        return;
    if (!m_entries.empty() && m_folder.isValid()) {
        const int first = SourceRows();
        beginRemoveRows(mapFromSource(m_folder), first, first + int(m_entries.size()) - 1);
        m_entries.clear();
        endRemoveRows();
    }
    m_entries.clear();
    m_folder = folder;
    if (!entries.empty()) {
        const int first = SourceRows();
        beginInsertRows(mapFromSource(m_folder), first, first + int(entries.size()) - 1);
        m_entries = std::move(entries);
        endInsertRows();
    }
}
