#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <chrono>

class CPresentedMedia;

// "Present the key or card now...": waits for the next medium presented to any controller,
// with Cancel, and gives up by itself after a while. Accepted with the medium's ID.
class CMediumReadDlg : public QDialog {
    Q_OBJECT
public:
    CMediumReadDlg(CPresentedMedia& media, std::chrono::milliseconds timeout,
                   QWidget* parent = nullptr);

    QString MediaId() const { return m_mediaId; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_mediaId;
    QTimer m_giveUp;
};
