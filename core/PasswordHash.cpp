#include "PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <QByteArray>
#include <QStringList>

#include <stdexcept>

namespace vastrel {

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray secret = password.toUpper().toUtf8();
    QByteArray out(kHashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), static_cast<int>(secret.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          reinterpret_cast<unsigned char*>(out.data())) != 1)
        throw std::runtime_error("Password hashing failed");
    return out;
}

} // namespace

QString hashPassword(const QString& password) {
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), kSaltBytes) != 1)
        throw std::runtime_error("No random bytes for the password salt");
    return QStringList{kScheme, QString::number(kIterations), QString::fromLatin1(salt.toHex()),
                       QString::fromLatin1(derive(password, salt, kIterations).toHex())}
        .join('$');
}

bool verifyPassword(const QString& password, const QString& stored) {
    const QStringList parts = stored.split('$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations <= 0)
        return false;
    const QByteArray expected = QByteArray::fromHex(parts[3].toLatin1());
    if (expected.size() != kHashBytes)
        return false;
    const QByteArray actual =
        derive(password, QByteArray::fromHex(parts[2].toLatin1()), iterations);
    return CRYPTO_memcmp(actual.constData(), expected.constData(), kHashBytes) == 0;
}

} // namespace vastrel
