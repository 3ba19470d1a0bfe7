#include "idtablereader.h"

#include "controllerline.h"

namespace {
// The control's reply after the last record.
constexpr char kEndOfTable[] = "*";
} // namespace

std::optional<IdRecord> parseIdRecord(const QString& reply) {
    if (reply.size() != kIdRecordLength)
        return std::nullopt;
    return IdRecord{lineBytes(reply.mid(2, 2)), lineBytes(reply.right(16))};
}

IdTableRead readIdTable(IControllerLine& line, const std::function<bool()>& between) {
    IdTableRead out;
    QString reply = line.ReadFirstID();
    const bool listed = reply.size() == kIdRecordLength;
    while (const std::optional<IdRecord> record = parseIdRecord(reply)) {
        out.table.emplace(record->mediaId, record->slot);
        ++out.records;
        if (between && !between()) {
            out.abandoned = true;
            out.table.clear();
            return out;
        }
        reply = line.ReadNextID();
    }
    if (reply == QLatin1String(kEndOfTable)) {
        if (listed)
            out.status = StatusChange::ok();
        return out;
    }
    out.table.clear();
    out.failed = true;
    out.status = StatusChange::reply(reply);
    return out;
}
