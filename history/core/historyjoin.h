#pragma once

#include "historystore.h"

#include <QCollator>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CCodePage;
class CTarvexDoc;

// What the workspace says about the media and ports of a store's registrations: the employee
// of each media ID (names through the code page), whether it is an unknown medium, and each
// port's controller. Each medium is joined once, however often it registered.
class CHistoryJoin {
public:
    struct Medium {
        QString mediaId;
        QString lastName;
        QString firstName;
        bool employee = false;
        bool unknown = false; // IsUnknownMedium
    };
    struct Controller {
        QString name;
        int id = 0;
        bool inWorkspace = false;
    };
    // The orders the media can be ranked in; ties go to the next key, the media ID last.
    enum class MediaOrder { ByLastName, ByFirstName, ByMediaId };

    // No workspace: no names, no medium is unknown, every port shown as itself.
    explicit CHistoryJoin(const QString& codePage = QString());
    ~CHistoryJoin();
    CHistoryJoin(const CHistoryJoin&) = delete;
    CHistoryJoin& operator=(const CHistoryJoin&) = delete;

    // The workspace to join to (nullptr: none). It must outlive the join, or be replaced
    // first; after it changed, call this again and then update().
    void setWorkspace(const CTarvexDoc* doc);
    bool hasWorkspace() const { return m_doc != nullptr; }
    // Joins the media and actions of `store` not joined yet.
    void update(const CHistoryStore& store);

    // update() must have seen the medium.
    const Medium& medium(std::uint32_t media) const { return m_media[media]; }
    const Controller& controller(int port) const { return m_controllers[std::size_t(port)]; }
    // The controller's name, or its port ("COM7") when the workspace has no controller there
    // or gave it no name.
    QString controllerText(int port) const;
    // The message and the action of a registration, through the code page.
    QString message(const CHistoryStore& store, const HistoryRecord& r) const;
    const QString& action(std::uint32_t action) const { return m_actions[action]; }

    // Each medium's position when the joined media are sorted in `order`, for sorting
    // registrations by it.
    std::vector<std::uint32_t> ranks(MediaOrder order) const;
    // <0, 0 or >0 as medium a sorts before, with or after medium b in `order`.
    int compareMedia(std::uint32_t a, std::uint32_t b, MediaOrder order) const;
    // Names as the history sorts them: by the locale's collation without case first, then
    // exactly, so that every order is total.
    int compareNames(const QString& a, const QString& b) const;

private:
    std::unique_ptr<CCodePage> m_codePage;
    QCollator m_collator;
    const CTarvexDoc* m_doc = nullptr;
    std::vector<Medium> m_media;
    std::vector<QString> m_actions;
    std::array<Controller, 256> m_controllers;
};
