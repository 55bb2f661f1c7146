#pragma once

#include "engine/SecretStore.h"

#include <QString>

namespace veltrap {

// The desktop's keyring (the Secret Service or KWallet), reached through
// QtKeychain. Each call waits for the keyring's answer on a loop of its own
// that takes no user input, so nothing a person does runs in between.
class KeyringSecretStore : public SecretStore {
public:
    // service names the program's entries in the keyring.
    explicit KeyringSecretStore(QString service = QStringLiteral("veltrap"));

    Result<std::string> Read(const std::string& key) override;
    Status Write(const std::string& key, const std::string& value) override;

private:
    QString service_;
};

}  // namespace veltrap
