// The file-type lists of the Open and Save dialogs, built from the format plug-ins'
// filter records: the "|"-separated filter strings, their description and pattern pairs,
// and Qt's name-filter form of them.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "formats/manager/plugin_interface.h"

namespace quorvel {

// The load filters of every plug-in that reads files; none without plug-ins.
std::vector<_tagFTzFILTERINFO> LoadFilters();
// The save filters of the plug-ins that can save the picture (its handle).
std::vector<_tagFTzFILTERINFO> SaveFilters(void* picture);

// "All Formats|p1;p2;|A|p1|B|p2||": first every loadable pattern at once, then each
// plug-in's own entry.
QString BuildLoadFilterString(const std::vector<_tagFTzFILTERINFO>& records);
// "A|p1|B|p2||".
QString BuildSaveFilterString(const std::vector<_tagFTzFILTERINFO>& records);

struct FilterPair {
    QString description;
    QString patterns;  // ";"-separated, as "*.BMP;*.DIB"
};
std::vector<FilterPair> SplitFilterString(const QString& filter);
// "A (*.BMP *.DIB)" for each pair.
QStringList QtNameFilters(const QString& filter);
// The extensions of a pattern list, each with its dot: ".BMP", ".DIB".
QStringList PatternExtensions(const QString& patterns);

// The first record whose plug-in saves the format (a four-character code), with its
// 1-based index; null and 0 for none and for the blank code.
void* PlugInForFormat(const std::vector<_tagFTzFILTERINFO>& records, uint32_t format, int* index);

}  // namespace quorvel
