#include "wizard/remembered.h"

#include <QSettings>

#include "platform/connection_strings.h"

namespace rw::wizard {

namespace {

// The one place the settings' names are chosen.
constexpr const char* kOrganization = "Rowwright";
constexpr const char* kApplication = "Rowwright";
constexpr const char* kGroup = "Wizard";

// The settings, opened at the wizard's group.
class WizardSettings : public QSettings {
public:
    WizardSettings() : QSettings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)) {
        beginGroup(QString::fromLatin1(kGroup));
    }
};

struct OptionKey {
    const char* key;
    bool WelcomeOptions::* box;
};

constexpr OptionKey kOptionKeys[] = {
    {"ModuleHeaders", &WelcomeOptions::chkModuleHead}, {"FunctionHeaders", &WelcomeOptions::chkFunctionHead},
    {"DeveloperNotes", &WelcomeOptions::chkDevNotes},  {"ErrorHandling", &WelcomeOptions::chkEH},
    {"Code", &WelcomeOptions::chkCode}};

struct TextKey {
    const char* key;
    std::string RememberedChoices::* text;
};

constexpr TextKey kTextKeys[] = {
    {"Target", &RememberedChoices::target},         {"Kind", &RememberedChoices::kind},
    {"StoreFolder", &RememberedChoices::storeDir},  {"ProjectFile", &RememberedChoices::projectFile},
    {"Connection", &RememberedChoices::connection}, {"DSN", &RememberedChoices::dsn},
    {"ConnectionString", &RememberedChoices::connectionString}, {"LastFolder", &RememberedChoices::lastFolder}};

}  // namespace

RememberedChoices WizardMemory::recall() const {
    const WizardSettings s;
    RememberedChoices choices;
    if (s.contains(QString::fromLatin1(kOptionKeys[0].key))) {
        WelcomeOptions options;
        for (const OptionKey& k : kOptionKeys) options.*k.box = s.value(QString::fromLatin1(k.key), true).toBool();
        choices.options = options;
    }
    for (const TextKey& k : kTextKeys) choices.*k.text = s.value(QString::fromLatin1(k.key)).toString().toStdString();
    return choices;
}

void WizardMemory::keep(const RememberedChoices& choices) {
    WizardSettings s;
    if (choices.options)
        for (const OptionKey& k : kOptionKeys) s.setValue(QString::fromLatin1(k.key), (*choices.options).*k.box);
    RememberedChoices kept = choices;
    kept.connectionString = withoutPassword(kept.connectionString);
    for (const TextKey& k : kTextKeys) s.setValue(QString::fromLatin1(k.key), QString::fromStdString(kept.*k.text));
    s.sync();
}

}  // namespace rw::wizard
