#include "idtablewriter.h"

#include "controllerline.h"

IdTableWrite writeIdTable(IControllerLine& line, const QStringList& mediaIds,
                          const std::function<bool()>& between) {
    IdTableWrite out;
    for (qsizetype i = 0; i < mediaIds.size(); ++i) {
        int code = line.AddID(mediaIds.at(i));
        if (code == kAddIdRetry)
            code = line.AddID(mediaIds.at(i));
        out.code = code;
        if (code != 0) {
            out.failedAt = int(i);
            out.status = StatusChange::failed(code);
            return out;
        }
        ++out.written;
        if (between && !between()) {
            out.abandoned = true;
            return out;
        }
    }
    return out;
}
