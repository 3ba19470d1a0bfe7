#include "idtablewriter.h"

#include "controllerline.h"

IdTableWrite writeIdTable(IControllerLine& line, const std::vector<std::string>& mediaIds,
                          const std::function<bool()>& between) {
    IdTableWrite out;
    for (size_t i = 0; i < mediaIds.size(); ++i) {
        const QString mediaId = lineText(mediaIds[i]);
        int code = line.AddID(mediaId);
        if (code == kAddIdRetry)
            code = line.AddID(mediaId);
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
