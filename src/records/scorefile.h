#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class QFileDevice;

// One place on the high-score board.
struct scorerecord
{
    QString playername; // exactly 20 characters, space-padded
    qint32 score = 0;

    friend bool operator==(const scorerecord &, const scorerecord &) = default;
};

inline constexpr int ScorePlaces = 10;
using scoretable = std::array<scorerecord, ScorePlaces>;

// The high-score file: ten records of 24 bytes, best first, with no header.
// A record is the name in 20 bytes of Windows-1252, space-padded, then the
// score as a little-endian signed 32-bit number. Bytes after the first 240
// are not ours; they are kept as they are.
class ScoreFile
{
public:
    static constexpr int NameLength = 20;
    static constexpr int RecordSize = 24;
    static constexpr int TableSize = ScorePlaces * RecordSize;

    explicit ScoreFile(QString path = QStringLiteral("name2.dat"));

    struct Reading
    {
        scoretable table;
        bool fromFile = false; // false: the default table, the file held none
        QString error;         // why the file could not be read, if it could not
    };

    // Reads the table, creating an empty file when there is none. An empty
    // or unreadable file gives the default table; so does anything that is
    // not a regular file, which is not opened at all.
    Reading read() const;
    // Replaces the first 240 bytes with the table, as one atomic step: the
    // file is either wholly old or wholly new. Where the folder refuses the
    // temporary file this needs, the 240 bytes are written in place instead.
    // Returns false and says why in `error` (the file's path and the
    // system's reason) when it could not; the old file is then kept.
    bool write(const scoretable &table, QString *error) const;

    static scoretable defaultTable();
    // Cuts the text to 20 characters or pads it with spaces to 20.
    static QString fitName(const QString &text);
    // The table as it lies in the first 240 bytes of a file.
    static QByteArray encode(const scoretable &table);
    // The table from a file's bytes. Records that do not lie wholly in the
    // bytes are read as 20 spaces with score 0.
    static scoretable decode(const QByteArray &bytes);

private:
    QString failure(const QString &reason) const;
    QString notRegularFileError() const;
    bool copyTail(QFileDevice &to, QString *error) const;
    bool writeInPlace(const QByteArray &bytes, QString *error) const;

    QString m_path;
};
