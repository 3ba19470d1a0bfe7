#pragma once

#include <QString>

// The reporting database's command for one registration of a medium: the stored procedure
// spOndixReg with the medium's 8 identifying characters (positions 6 to 13), the date, the
// date and time with the seconds set to zero, "999", the controller's ID and code. The texts
// come from the controller's bytes, so a quote in them is doubled rather than ending the
// literal.
QString reportCommandText(const QString& mediaId, const QString& dateReg, const QString& timeReg,
                          int controllerId, int controllerCode);
