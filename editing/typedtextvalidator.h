#pragma once

#include <QValidator>

#include <functional>

// Rewrites a line edit's text on every change, typed or pasted, keeping the cursor where the
// rewrite puts it (upper case for a MediaID, no control characters anywhere). Never refuses.
class CTypedTextValidator : public QValidator {
    Q_OBJECT
public:
    using Rewrite = std::function<QString(const QString& text, int* position)>;

    explicit CTypedTextValidator(Rewrite rewrite, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

private:
    Rewrite m_rewrite;
};
