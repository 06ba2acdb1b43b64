// Filter records come from Formick, sized with sizeof, through the engine's plug-in list.
#include "app/shell/file_filters.h"

#include "app/shell/shell_strings.h"
#include "base/corvane_types.h"
#include "engine/picture/engine_functions.h"
#include "formats/manager/filter_list.h"
#include "formats/manager/plugin_manager.h"

namespace quorvel {

namespace {

QString Text(const PTzChar* units)
{
    qsizetype length = 0;
    while (length < qsizetype(FTzDESC_HALF) && units[length] != 0)
        ++length;
    return QString(reinterpret_cast<const QChar*>(units), length);
}

int SavableByPicture(void* plugIn, void* picture)
{
    return ITzPictSaveCheckPlugIn(picture, plugIn);
}

}  // namespace

std::vector<_tagFTzFILTERINFO> LoadFilters()
{
    void* list = ITzGetFTzIOHANDLE();
    if (!list)
        return {};
    std::vector<_tagFTzFILTERINFO> records(FTzLoadGetFilter(list, nullptr, 0));
    if (records.empty())
        return records;
    records.resize(FTzLoadGetFilter(list, records.data(), uint32_t(records.size())));
    return records;
}

std::vector<_tagFTzFILTERINFO> SaveFilters(void* picture)
{
    void* list = ITzGetFTzIOHANDLE();
    if (!list || !picture)
        return {};
    std::vector<_tagFTzFILTERINFO> records(FTzSaveGetFilter(list, nullptr, 0));
    if (records.empty())
        return records;
    const _tagFTzPLUGINSUPPORTCALLBACKSTR check = {SavableByPicture, picture};
    records.resize(FTzSaveGetFilters_1(list, records.data(), uint32_t(records.size()), &check));
    return records;
}

QString BuildLoadFilterString(const std::vector<_tagFTzFILTERINFO>& records)
{
    QString all = LoadShellString(IDS_ALL_FORMATS) + QLatin1Char('|');
    QString each;
    for (const _tagFTzFILTERINFO& record : records) {
        all += Text(record.patterns) + QLatin1Char(';');
        each += Text(record.description) + QLatin1Char('|') + Text(record.patterns) + QLatin1Char('|');
    }
    return all + QLatin1Char('|') + each + QLatin1Char('|');
}

QString BuildSaveFilterString(const std::vector<_tagFTzFILTERINFO>& records)
{
    QString filter;
    for (const _tagFTzFILTERINFO& record : records)
        filter += Text(record.description) + QLatin1Char('|') + Text(record.patterns) + QLatin1Char('|');
    return filter + QLatin1Char('|');
}

std::vector<FilterPair> SplitFilterString(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    std::vector<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2)
        pairs.push_back({parts[i], parts[i + 1]});
    return pairs;
}

QStringList QtNameFilters(const QString& filter)
{
    QStringList filters;
    for (const FilterPair& pair : SplitFilterString(filter)) {
        // Qt reads the patterns from the last parentheses: a description that shows its
        // own ";"-separated list gives it up for Qt's.
        QString description = pair.description;
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        const QStringList patterns = pair.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QStringList PatternExtensions(const QString& patterns)
{
    QStringList extensions;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
        if (dot >= 0)
            extensions << pattern.mid(dot);
    }
    return extensions;
}

void* PlugInForFormat(const std::vector<_tagFTzFILTERINFO>& records, uint32_t format, int* index)
{
    *index = 0;
    if (format == PTzFourCCNone)
        return nullptr;
    for (size_t i = 0; i < records.size(); ++i) {
        if (FTzGetPlugInSupportFormat(records[i].plugin) == format) {
            *index = int(i) + 1;
            return records[i].plugin;
        }
    }
    return nullptr;
}

}  // namespace quorvel
