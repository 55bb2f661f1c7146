#include "app/KeyringSecretStore.h"

#include <qt6keychain/keychain.h>
#include <QEventLoop>

#include <utility>

namespace veltrap {
namespace {

// Runs the job to its end. A job starts on the next turn of the loop, so its
// end cannot come before the loop is waiting for it; the flag covers a job
// that ends all the same.
void Finish(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

Failure Unusable(const QKeychain::Job& job) {
    // Without any keyring service QtKeychain has no better words than these.
    std::string reason = job.errorString().toStdString();
    if (job.error() == QKeychain::NoBackendAvailable || reason.empty() ||
        reason == "Unknown error") {
        reason = "no keyring service answered";
    }
    return Failure{"the desktop keyring cannot be used (" + reason + ")"};
}

}  // namespace

KeyringSecretStore::KeyringSecretStore(QString service) : service_(std::move(service)) {}

Result<std::string> KeyringSecretStore::Read(const std::string& key) {
    QKeychain::ReadPasswordJob job(service_);
    job.setKey(QString::fromStdString(key));
    Finish(job);
    if (job.error() == QKeychain::EntryNotFound) {
        return std::string();
    }
    if (job.error() != QKeychain::NoError) {
        return Unusable(job);
    }
    // Kept as bytes, so that a secret comes back exactly as it was given.
    return job.binaryData().toStdString();
}

Status KeyringSecretStore::Write(const std::string& key, const std::string& value) {
    if (value.empty()) {
        QKeychain::DeletePasswordJob job(service_);
        job.setKey(QString::fromStdString(key));
        Finish(job);
        if (job.error() != QKeychain::NoError && job.error() != QKeychain::EntryNotFound) {
            return Unusable(job);
        }
        return {};
    }
    QKeychain::WritePasswordJob job(service_);
    job.setKey(QString::fromStdString(key));
    job.setBinaryData(QByteArray::fromStdString(value));
    Finish(job);
    if (job.error() != QKeychain::NoError) {
        return Unusable(job);
    }
    return {};
}

}  // namespace veltrap
