#pragma once

#include "internedtexts.h"
#include "regtime.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One registration of a monthly file. Kept small: a year of a busy site is a million of them.
struct HistoryRecord {
    RegTime when = 0;
    std::uint32_t messageOffset = 0; // into its file's message bytes
    std::uint32_t media = 0;         // CHistoryStore::mediaId(); 0: none
    std::uint32_t action = 0;        // CHistoryStore::action(); 0: empty
    std::uint16_t messageLength = 0;
    std::uint16_t file = 0;
    std::uint8_t port = 0;
    bool person = false; // isPersonRegistration
};

// Every registration of the monthly files of one folder, in the order they were written: the
// files by month, each file's lines as they stand. Reading opens a file, reads the bytes not
// read before and closes it again, so the control appending to it is never in the way. Damaged
// lines are skipped and counted; a last line without its line end waits until it has one.
class CHistoryStore {
public:
    struct Refresh {
        std::size_t firstNew = 0; // records from here on are new
        bool reloaded = false;    // a file shrank, went or was replaced: all read again
        bool changed = false;     // anything new, or the damaged count moved
    };

    CHistoryStore() = default;
    CHistoryStore(const CHistoryStore&) = delete;
    CHistoryStore& operator=(const CHistoryStore&) = delete;

    // Reads every monthly file of `folder` from the start. False when the folder cannot be
    // read; a file that cannot be read is named in errors() and the others are read.
    bool load(const QString& folder);
    // Reads what was appended since, and the monthly files that appeared.
    Refresh refresh();

    QString folder() const { return m_folder; }
    const std::vector<HistoryRecord>& records() const { return m_records; }
    std::size_t size() const { return m_records.size(); }
    std::string_view message(const HistoryRecord& r) const {
        return std::string_view(m_files[r.file].messages).substr(r.messageOffset, r.messageLength);
    }
    std::string_view mediaId(std::uint32_t media) const { return m_media.text(media); }
    std::uint32_t mediaCount() const { return m_media.size(); }
    std::string_view action(std::uint32_t action) const { return m_actions.text(action); }
    std::uint32_t actionCount() const { return m_actions.size(); }

    int fileCount() const { return int(m_files.size()); }
    QString fileName(int file) const { return m_files[std::size_t(file)].name; }
    // Damaged lines skipped, the unfinished last line of a file that is no longer the newest
    // included.
    int damagedLines() const;
    // The newest file ends in a line still being written.
    bool hasPendingLine() const;
    // The files that could not be read, each with the reason.
    QStringList errors() const;

private:
    struct MonthlyFile {
        QString name;
        std::string messages;
        qint64 readTo = 0; // bytes of the file taken, the pending line included
        quint64 device = 0;
        quint64 inode = 0;
        std::string pending;     // the last line while it has no line end
        bool inLongLine = false; // skipping the rest of an over-long line
        int damaged = 0;
        QString error; // why it could not be read last time
    };
    enum class ReadResult { Read, Unreadable, Replaced };

    void clear();
    bool addFile(const QString& name);
    ReadResult readFile(std::size_t file);
    void takeBytes(std::size_t file, std::string_view bytes);
    void takeLine(std::size_t file, std::string_view line);
    bool isPerson(std::uint32_t media, std::uint32_t action);

    QString m_folder;
    std::vector<MonthlyFile> m_files;
    std::vector<HistoryRecord> m_records;
    CInternedTexts m_media;
    CInternedTexts m_actions;
    std::unordered_map<std::uint64_t, bool> m_personRule; // (media, action) -> person
};
