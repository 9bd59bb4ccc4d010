#include "host/add_in.h"

#include <QSettings>
#include <algorithm>

#include "platform/runtime_error.h"

namespace rw::host {

namespace {

const QString kGroup = QStringLiteral("Addins");
// Kept beside the add-ins' groups once the list is first written, so that
// a list emptied by the user is told from one never written.
const QString kWrittenKey = QStringLiteral("Written");

QString q(const std::string& text) { return QString::fromStdString(text); }

// The settings file could not be written: said as the run-time says it.
void checkWritten(QSettings& settings) {
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RuntimeError(kErrPathFileAccess, kAddInSource,
                           "Path/File access error: '" + settings.fileName().toStdString() + "'");
}

}  // namespace

std::unique_ptr<AddInInstance> AddInClasses::create(const std::string& progId) const {
    const auto it = factories_.find(progId);
    if (it == factories_.end()) return nullptr;
    return it->second();
}

AddInRegistry::AddInRegistry(QString organization, QString application)
    : organization_(std::move(organization)), application_(std::move(application)) {}

std::vector<AddInEntry> AddInRegistry::entries() const {
    QSettings settings(organization_, application_);
    settings.beginGroup(kGroup);
    std::vector<AddInEntry> list;
    for (const QString& progId : settings.childGroups()) {
        settings.beginGroup(progId);
        list.push_back({progId.toStdString(), settings.value(QStringLiteral("FriendlyName")).toString().toStdString(),
                        settings.value(QStringLiteral("Description")).toString().toStdString(),
                        settings.value(QStringLiteral("LoadOnStartup"), false).toBool()});
        settings.endGroup();
    }
    std::sort(list.begin(), list.end(), [](const AddInEntry& a, const AddInEntry& b) { return a.progId < b.progId; });
    return list;
}

std::optional<AddInEntry> AddInRegistry::find(const std::string& progId) const {
    for (AddInEntry& entry : entries()) {
        if (entry.progId == progId) return std::move(entry);
    }
    return std::nullopt;
}

bool AddInRegistry::written() const {
    QSettings settings(organization_, application_);
    settings.beginGroup(kGroup);
    return settings.contains(kWrittenKey) || !settings.childGroups().isEmpty();
}

void AddInRegistry::add(const AddInEntry& entry) {
    QSettings settings(organization_, application_);
    settings.beginGroup(kGroup);
    settings.setValue(kWrittenKey, true);
    settings.beginGroup(q(entry.progId));
    const bool known = settings.contains(QStringLiteral("FriendlyName"));
    settings.setValue(QStringLiteral("FriendlyName"), q(entry.displayName));
    settings.setValue(QStringLiteral("Description"), q(entry.description));
    if (!known) settings.setValue(QStringLiteral("LoadOnStartup"), entry.loadOnStartup);
    settings.endGroup();
    settings.endGroup();
    checkWritten(settings);
}

bool AddInRegistry::remove(const std::string& progId) {
    QSettings settings(organization_, application_);
    settings.beginGroup(kGroup);
    if (!settings.childGroups().contains(q(progId))) return false;
    settings.remove(q(progId));
    settings.setValue(kWrittenKey, true);
    settings.endGroup();
    checkWritten(settings);
    return true;
}

void AddInRegistry::setLoadOnStartup(const std::string& progId, bool load) {
    QSettings settings(organization_, application_);
    settings.beginGroup(kGroup);
    if (!settings.childGroups().contains(q(progId))) return;
    settings.setValue(q(progId) + QStringLiteral("/LoadOnStartup"), load);
    settings.endGroup();
    checkWritten(settings);
}

}  // namespace rw::host
