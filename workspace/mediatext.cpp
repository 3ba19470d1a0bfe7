#include "mediatext.h"

#include "resourceids.h"
#include "textformat.h"

using namespace res;

namespace {
QString text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}
} // namespace

QString MediaKindText(std::string_view family) {
    switch (MediaTypeOfFamily(family)) {
    case MediaIButton:
        return S(IDS_MEDIA_IBUTTON);
    case MediaRfCard:
        return S(IDS_MEDIA_RFCARD);
    case MediaMagneticCard:
        return S(IDS_MEDIA_MAGCARD);
    default:
        return FormatString(IDS_MEDIA_FAMILY, text(std::string(family)));
    }
}

QString MediaIdDescription(std::string_view mediaId) {
    const MediaIdParts parts = DescribeMediaId(mediaId);
    switch (parts.shape) {
    case MediaIdParts::Shape::Empty:
        return {};
    case MediaIdParts::Shape::Partial:
        return FormatString(IDS_MEDIAID_PARTIAL, int(parts.length));
    case MediaIdParts::Shape::NotHex:
        return FormatString(IDS_NOT_HEX_DIGIT, text(parts.badChar));
    case MediaIdParts::Shape::Whole:
        break;
    }
    const QString check =
        parts.checkByteCorrect()
            ? FormatString(IDS_CHECK_BYTE_CORRECT, text(parts.checkByte))
            : FormatString(IDS_CHECK_BYTE_WRONG, text(parts.checkByte), text(parts.expected));
    return FormatString(IDS_MEDIA_DESCRIPTION, MediaKindText(parts.family), text(parts.serial),
                        check);
}

QString MediaIdDescriptionAsTyped(const QString& mediaId) {
    if (!mediaId.isEmpty() && mediaId.size() != 16)
        return FormatString(IDS_MEDIAID_PARTIAL, int(mediaId.size()));
    const QByteArray bytes = mediaId.toUtf8();
    return MediaIdDescription(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

QString MediaFormRefusalText(const MediaFormRefusal& refusal) {
    using Reason = MediaFormRefusal::Reason;
    switch (refusal.reason) {
    case Reason::None:
        return {};
    case Reason::Length: {
        const int count = int(refusal.count);
        switch (refusal.form) {
        case MediaForm::Hex:
            return FormatString(IDS_HEX_LENGTH, count);
        case MediaForm::IButton:
            return FormatString(IDS_IBUTTON_LENGTH, count);
        case MediaForm::RfHex:
            return FormatString(IDS_RF_HEX_LENGTH, count);
        case MediaForm::RfDecimal:
        case MediaForm::Wiegand26:
            return FormatString(IDS_DECIMAL_LENGTH, count);
        }
        break;
    }
    case Reason::HexDigit:
        return FormatString(IDS_NOT_HEX_DIGIT, text(refusal.text));
    case Reason::DecimalDigit:
        return FormatString(IDS_NOT_DECIMAL_DIGIT, text(refusal.text));
    case Reason::TooLarge:
        return FormatString(IDS_DECIMAL_TOO_LARGE, text(refusal.text));
    case Reason::NotAPair:
        return S(IDS_W26_PAIR);
    case Reason::Facility:
        return FormatString(IDS_W26_FACILITY, text(refusal.text));
    case Reason::Card:
        return FormatString(IDS_W26_CARD, text(refusal.text));
    case Reason::CheckByte:
        return FormatString(IDS_WRONG_CHECK_BYTE, text(refusal.checkByte), text(refusal.expected));
    }
    return {};
}
