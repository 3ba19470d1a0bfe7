#include "photoview.h"

#include "appsettings.h"
#include "photofit.h"
#include "picturedecoder.h"

#include <QFile>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>

CPhotoView::CPhotoView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPhotoView"));
    // Everything is painted each time; Qt's backing store gives the off-screen buffer.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_captionFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    m_captionFont.setBold(true);
}

CPhotoView::~CPhotoView() = default;

QString CPhotoView::placeholderPath() {
    return QStringLiteral("../Brindlo left.bmp");
}

void CPhotoView::SetPhoto(const QString& mediaId, const QString& caption) {
    m_mediaId = mediaId;
    m_caption = caption;
    // A missing or unreadable placeholder leaves the picture as it was.
    QFile file(placeholderPath());
    if (file.open(QIODevice::ReadOnly)) {
        const QImage placeholder = decodePicture(file.readAll());
        if (!placeholder.isNull())
            m_picture = placeholder;
    }
    // The names belong to the previous person until the database has answered.
    m_lastName.clear();
    m_firstName.clear();
    m_stale = true;
    scheduleLookUp();
    update();
}

void CPhotoView::Requery() {
    m_stale = true;
    scheduleLookUp();
}

void CPhotoView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleLookUp();
}

void CPhotoView::scheduleLookUp() {
    if (!m_stale || m_lookUpQueued || !isVisible())
        return;
    m_lookUpQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_lookUpQueued = false;
            if (m_stale && isVisible())
                lookUp();
        },
        Qt::QueuedConnection);
}

void CPhotoView::lookUp() {
    m_stale = false;
    // What is not found shows as the old picture's size in black (its palette kept).
    if (!m_picture.isNull())
        m_picture.fill(0);
    m_lastName.clear();
    m_firstName.clear();
    const CAppSettings& settings = CAppSettings::instance();
    const PhotoColumns columns{settings.PhotoTable, settings.PhotoLastName, settings.PhotoFirstName,
                               settings.PhotoMediaID, settings.PhotoPhoto};
    PhotoRecord record = lookUpPhoto(m_database ? m_database() : nullptr, columns, m_mediaId);
    m_lastName = record.lastName;
    m_firstName = record.firstName;
    if (!record.picture.isNull())
        m_picture = std::move(record.picture);
    update();
}

QString CPhotoView::captionLine() const {
    return photoCaptionLine(m_caption, m_lastName, m_firstName, m_mediaId);
}

QRect CPhotoView::pictureRect() const {
    return fitPicture(rect(), m_picture.size());
}

void CPhotoView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect client = rect();
    p.fillRect(client, Qt::black);
    if (!m_picture.isNull())
        p.drawImage(pictureRect(), m_picture);
    p.setFont(m_captionFont);
    p.setPen(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::black);
    p.drawText(client, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, captionLine());
}
