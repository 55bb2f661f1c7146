#include "store/SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <utility>

namespace veltrap {
namespace {

constexpr char kOrganisation[] = "Quorvex";

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Opens the store the way the platform keeps it: the registry on Windows, an
// INI file everywhere else.
std::unique_ptr<QSettings> Open(const QString& iniPath) {
    if (!iniPath.isEmpty()) {
        return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       kOrganisation);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation);
#endif
}

}  // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(QString iniPath) : iniPath_(std::move(iniPath)) {}

std::string SettingsStore::Read(std::string_view name) const {
    const auto settings = Open(iniPath_);
    if (settings->status() != QSettings::NoError) {
        return {};
    }
    const QVariant value = settings->value(FromBytes(name));
    // A hand-edited INI line with commas and no quotes comes back as a list;
    // joining it restores the text that was written.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',').toStdString();
    }
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        return value.toString().toStdString();
    }
    return {};
}

bool SettingsStore::Write(std::string_view name, std::string_view text) const {
    const auto settings = Open(iniPath_);
    settings->setValue(FromBytes(name), FromBytes(text));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace veltrap
