#include "unknownmedium.h"

bool IsUnknownMedium(const CTarvexDoc::EmployeeMap& employees, const std::string& mediaId) {
    return mediaId.size() == 16 && employees.find(mediaId) == employees.end();
}
