// CUndecodedNamesModel: the model a Qt file dialog's views show. Qt's file system model
// leaves out every entry whose name is not UTF-8 (Linux names are bytes); this proxy
// lists the regular files among them in the dialog's folder, after Qt's own rows.
#pragma once

#include <QDateTime>
#include <QIdentityProxyModel>
#include <QPersistentModelIndex>
#include <QString>
#include <array>
#include <utility>
#include <vector>

class QFileSystemModel;

class CUndecodedNamesModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    // The source must be a QFileSystemModel: the added rows follow its root folder and
    // its filters (files, hidden ones, name patterns shown or disabled).
    void setSourceModel(QAbstractItemModel* source) override;

    // Whether the index is an added row. Such a row shows its name with U+FFFD for the
    // bytes that are not UTF-8; its FilePathRole is the path text that carries them.
    bool IsUndecoded(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex buddy(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Searches the proxy's own rows (the identity proxy searches only the source's), so
    // that typing a name's start in a view finds an added row too.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

private:
    struct Entry {
        QString path;   // carries the bytes
        QString shown;  // as a person reads it
        QString type;
        qint64 size = 0;
        QDateTime modified;
        bool matches = true;  // by the name patterns; otherwise listed disabled
        bool operator==(const Entry&) const = default;
    };

    // The folder's identity and times of change, to tell whether its entries may have
    // changed since it was read.
    using Stamp = std::array<qint64, 5>;
    static Stamp FolderStamp(const QString& folder);

    // The source's change of layout, passed on with the persistent indexes of Qt's rows
    // mapped through it and the added rows' kept where they are.
    void SourceLayoutToChange(const QList<QPersistentModelIndex>& sourceParents,
                              QAbstractItemModel::LayoutChangeHint hint);
    void SourceLayoutChanged(const QList<QPersistentModelIndex>& sourceParents,
                             QAbstractItemModel::LayoutChangeHint hint);
    QList<QPersistentModelIndex> MapParents(const QList<QPersistentModelIndex>& sourceParents) const;

    // Reads the root folder again and replaces the added rows when they changed.
    void Rescan();
    // The files of the folder whose names are not UTF-8, as the source's filters list
    // them, in the order of their shown names.
    std::vector<Entry> ReadFolder(const QString& folder) const;
    // The filters the rows were read with, to notice a change of them.
    QString FilterKey() const;
    // Whether the proxy index is the folder whose added rows follow Qt's.
    bool IsListedFolder(const QModelIndex& parent) const;
    const Entry* EntryAt(const QModelIndex& index) const;
    int SourceRows() const;

    QFileSystemModel* m_files = nullptr;
    QPersistentModelIndex m_folder;  // the source's index of the folder listed
    QString m_filterKey;
    std::vector<Entry> m_entries;
    Stamp m_folderStamp{};
    // Qt's load of a new folder has not yet been told.
    bool m_firstLoadPending = false;
    // During a change of the source's layout: Qt's rows held by persistent indexes, with
    // their source rows.
    std::vector<std::pair<QPersistentModelIndex, QPersistentModelIndex>> m_layoutRows;
};
