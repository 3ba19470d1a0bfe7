#include "historyjoin.h"

#include "codepage.h"
#include "tarvexdoc.h"
#include "unknownmedium.h"

#include <algorithm>
#include <numeric>

CHistoryJoin::CHistoryJoin(const QString& codePage)
    : m_codePage(std::make_unique<CCodePage>(codePage)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    setWorkspace(nullptr);
}

int CHistoryJoin::compareNames(const QString& a, const QString& b) const {
    const int collated = m_collator.compare(a, b);
    return collated != 0 ? collated : a.compare(b, Qt::CaseSensitive);
}

CHistoryJoin::~CHistoryJoin() = default;

void CHistoryJoin::setWorkspace(const CTarvexDoc* doc) {
    m_doc = doc;
    m_media.clear();
    m_actions.clear();
    for (Controller& c : m_controllers)
        c = Controller();
    if (!doc)
        return;
    for (const auto& [port, record] : doc->Controllers()) {
        if (port < 1 || port > 255)
            continue;
        Controller& c = m_controllers[std::size_t(port)];
        c.name = m_codePage->ToUnicode(record.Name);
        c.id = record.ID;
        c.inWorkspace = true;
    }
}

void CHistoryJoin::update(const CHistoryStore& store) {
    for (std::uint32_t media = std::uint32_t(m_media.size()); media < store.mediaCount(); ++media) {
        const std::string_view bytes = store.mediaId(media);
        Medium m;
        m.mediaId = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        if (m_doc) {
            const std::string key(bytes);
            if (const CEmpRecord* e = m_doc->FindEmployee(key)) {
                m.employee = true;
                m.lastName = m_codePage->ToUnicode(e->LastName);
                m.firstName = m_codePage->ToUnicode(e->FirstName);
            }
            m.unknown = IsUnknownMedium(m_doc->Employees(), key);
        }
        m_media.push_back(std::move(m));
    }
    for (std::uint32_t action = std::uint32_t(m_actions.size()); action < store.actionCount();
         ++action)
        m_actions.push_back(m_codePage->ToUnicode(store.action(action)));
}

QString CHistoryJoin::controllerText(int port) const {
    const Controller& c = controller(port);
    return c.inWorkspace && !c.name.isEmpty() ? c.name : QStringLiteral("COM%1").arg(port);
}

QString CHistoryJoin::message(const CHistoryStore& store, const HistoryRecord& r) const {
    return m_codePage->ToUnicode(store.message(r));
}

int CHistoryJoin::compareMedia(std::uint32_t a, std::uint32_t b, MediaOrder order) const {
    const Medium& x = m_media[a];
    const Medium& y = m_media[b];
    if (order == MediaOrder::ByMediaId)
        return x.mediaId.compare(y.mediaId);
    const bool lastFirst = order == MediaOrder::ByLastName;
    const QString* xs[2] = {lastFirst ? &x.lastName : &x.firstName,
                            lastFirst ? &x.firstName : &x.lastName};
    const QString* ys[2] = {lastFirst ? &y.lastName : &y.firstName,
                            lastFirst ? &y.firstName : &y.lastName};
    // Both names by the collation first: "Schmidt, Bernd" and "schmidt, Carla" go by the
    // first name.
    for (int i = 0; i < 2; ++i) {
        if (const int c = m_collator.compare(*xs[i], *ys[i]))
            return c;
    }
    for (int i = 0; i < 2; ++i) {
        if (const int c = xs[i]->compare(*ys[i]))
            return c;
    }
    return x.mediaId.compare(y.mediaId);
}

std::vector<std::uint32_t> CHistoryJoin::ranks(MediaOrder order) const {
    std::vector<std::uint32_t> sorted(m_media.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::sort(sorted.begin(), sorted.end(), [this, order](std::uint32_t a, std::uint32_t b) {
        return compareMedia(a, b, order) < 0;
    });
    std::vector<std::uint32_t> rank(m_media.size());
    for (std::uint32_t i = 0; i < sorted.size(); ++i)
        rank[sorted[i]] = i;
    return rank;
}
