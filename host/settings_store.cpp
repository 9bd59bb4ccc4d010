#include "host/settings_store.h"

#include <QSettings>

#include "platform/runtime_error.h"

namespace rw::host {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

QString settingKey(const std::string& section, const std::string& key) { return q(section) + '/' + q(key); }

}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    const QSettings settings(q(appName), q(appName));
    const QVariant value = settings.value(settingKey(section, key));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting) {
    QSettings settings(q(appName), q(appName));
    settings.setValue(settingKey(section, key), q(setting));
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RuntimeError(kErrPathFileAccess, kAddInSource,
                           "Path/File access error: '" + settings.fileName().toStdString() + "'");
}

}  // namespace rw::host
