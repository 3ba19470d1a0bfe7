#include "typedtextvalidator.h"

CTypedTextValidator::CTypedTextValidator(Rewrite rewrite, QObject* parent)
    : QValidator(parent), m_rewrite(std::move(rewrite)) {}

QValidator::State CTypedTextValidator::validate(QString& input, int& pos) const {
    if (m_rewrite)
        input = m_rewrite(input, &pos);
    return Acceptable;
}
