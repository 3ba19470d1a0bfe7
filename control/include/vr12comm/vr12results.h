#pragma once

// What the control's methods return, by name, and what each result means in
// words. The numbers are the automation interface's own and never change; 0 is
// always success. A command that cannot have the line (no Init yet, or called
// from inside the RxMessage handler) reports the method's "no reply" result.

#include <QString>

namespace vr12comm {

enum EraseIdResult : short {
    EraseIdOk = 0,
    EraseIdNoReply = 1,
    EraseIdNoSlotReply = 2, // also a slot outside 0-255, refused before anything is sent
    EraseIdNotConfirmed = 3,
};

// AddID and NewMaster: one exchange, judged alike up to the status letter.
enum IdWriteResult : short {
    IdWriteOk = 0,
    IdWriteNoReply = 1,
    IdWriteShortPrompt = 2,
    IdWriteWrongPrompt = 3,
    IdWriteNoConfirmation = 4,
    IdWriteShortConfirmation = 5,
    IdWriteRefused = 6,
    IdWriteGarbled = 7,         // no space before the status letter
    IdWriteAlreadyInTable = 10, // AddID only
    IdWriteNotSent = 100,       // fewer than 16 characters, or the write fell short
};

enum WriteParamsResult : short {
    WriteParamsOk = 0,
    WriteParamsNoReply = 1,
    WriteParamsShortPrompt = 2,
    WriteParamsNotSent = 3, // fewer than 16 characters, or the write fell short
    WriteParamsNotConfirmed = 4,
};

enum ClearTableResult : short {
    ClearTableOk = 0,
    ClearTableNoReply = 1,
    ClearTableNotConfirmed = 2,
};

enum GetStatusResult : short {
    GetStatusOk = 0,
    GetStatusNoReply = 1,
};

// The texts that ReadFirstID, ReadNextID, ShowMaster and ReadParams return
// instead of a record.
inline constexpr char kReplyBusy[] = "Busy";
inline constexpr char kReplyError[] = "Error";
inline constexpr char kReplyErased[] = "Erased";
inline constexpr char kReplyEndOfTable[] = "*";

inline constexpr char kNoReplyText[] =
    "no reply: check the cable, the port and the controller's power";
inline constexpr char kShortPromptText[] = "the controller's prompt was cut short";
inline constexpr char kCutShortText[] = "the reply was cut short";
inline constexpr char kUnknownResultText[] = "unknown result";
inline constexpr char kDoneText[] = "done";

inline const char* resultText(EraseIdResult r) {
    switch (r) {
    case EraseIdOk:
        return kDoneText;
    case EraseIdNoReply:
        return kNoReplyText;
    case EraseIdNoSlotReply:
        return "no reply to the slot number";
    case EraseIdNotConfirmed:
        return "the controller did not confirm the erase";
    }
    return kUnknownResultText;
}

inline const char* resultText(IdWriteResult r) {
    switch (r) {
    case IdWriteOk:
        return kDoneText;
    case IdWriteNoReply:
        return kNoReplyText;
    case IdWriteShortPrompt:
        return kShortPromptText;
    case IdWriteWrongPrompt:
        return "the controller did not prompt for the ID";
    case IdWriteNoConfirmation:
        return "no confirmation after the ID";
    case IdWriteShortConfirmation:
        return "the confirmation was cut short";
    case IdWriteRefused:
        return "the controller refused the ID";
    case IdWriteGarbled:
        return "the confirmation is garbled";
    case IdWriteAlreadyInTable:
        return "the ID is already in the table";
    case IdWriteNotSent:
        return "the ID could not be sent in full";
    }
    return kUnknownResultText;
}

inline const char* resultText(WriteParamsResult r) {
    switch (r) {
    case WriteParamsOk:
        return kDoneText;
    case WriteParamsNoReply:
        return kNoReplyText;
    case WriteParamsShortPrompt:
        return kShortPromptText;
    case WriteParamsNotSent:
        return "the parameter record could not be sent in full";
    case WriteParamsNotConfirmed:
        return "the controller did not confirm the parameters";
    }
    return kUnknownResultText;
}

inline const char* resultText(ClearTableResult r) {
    switch (r) {
    case ClearTableOk:
        return kDoneText;
    case ClearTableNoReply:
        return kNoReplyText;
    case ClearTableNotConfirmed:
        return "the controller did not confirm clearing the table";
    }
    return kUnknownResultText;
}

inline const char* resultText(GetStatusResult r) {
    switch (r) {
    case GetStatusOk:
        return kDoneText;
    case GetStatusNoReply:
        return kNoReplyText;
    }
    return kUnknownResultText;
}

// A text result of ReadFirstID or ReadNextID, in words.
inline const char* listingReplyText(const QString& reply) {
    if (reply == QLatin1String(kReplyEndOfTable))
        return "end of the table";
    if (reply == QLatin1String(kReplyBusy))
        return "the line is busy with another command";
    if (reply == QLatin1String(kReplyError))
        return kNoReplyText;
    return kUnknownResultText;
}

// A text result of ShowMaster or ReadParams, in words. A silent controller
// reads as "Busy" there.
inline const char* masterReplyText(const QString& reply) {
    if (reply == QLatin1String(kReplyBusy))
        return kNoReplyText;
    if (reply == QLatin1String(kReplyError))
        return kCutShortText;
    if (reply == QLatin1String(kReplyErased))
        return "no master is set";
    return kUnknownResultText;
}

inline const char* paramsReplyText(const QString& reply) {
    if (reply == QLatin1String(kReplyErased))
        return "no parameter record is set";
    return masterReplyText(reply);
}

} // namespace vr12comm
