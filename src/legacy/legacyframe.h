#pragma once

#include <QDataStream>

// What the reading program writes to its standard output for the import:
// a magic number, then frames, each a kind and its fields in a QDataStream
// of version kStreamVersion.
namespace LegacyFrame {

constexpr quint32 kMagic = 0x42524c31; // "BRL1"
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

enum Kind : quint8 {
    Alive = 'A',  // still at work, nothing to say
    Tables = 'L', // the tables: qint32 n, then per table name, rows in its definition, rows its pages
                  // hold, qint32 columns, then per column name and qint32 LegacyType
    Begin = 'T',  // the rows of this table follow: name
    Row = 'R',    // QVariantList values, qint32 n, then per problem qint32 column and why
    Failed = 'F', // why, in the user's words; nothing follows
    Done = 'D',   // every table was read
};

} // namespace LegacyFrame
