#include "lib/signedplacement.h"

#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/filestamp.h"
#include "platform/winerror.h"
#include "trust/streamdigest.h"

#include <QDateTime>

#include <memory>
#include <optional>
#include <utility>

namespace vek {
namespace {

const QString kOlderThanInstalled = QStringLiteral("older than the installed one: signed %1, the installed one %2");
const QString kRecordNotRead = QStringLiteral("the record of its installed signatures %1 cannot be read: %2");
const QString kRecordNotWritten = QStringLiteral("the record of its installed signatures %1 cannot be written: %2");
const QString kNoTimestamp = QStringLiteral("without a timestamp");

QString stamptext(qint64 timestamp)
{
    if (timestamp <= 0)
        return kNoTimestamp;
    return QDateTime::fromSecsSinceEpoch(timestamp, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

trust::Verdict refusal(int code, const QString& reason)
{
    trust::Verdict verdict;
    verdict.code = code;
    verdict.reason = reason;
    return verdict;
}

// A key that was named but cannot be used refuses everything: the
// administrator meant signatures to be required.
trust::Verdict unusablekeys(const SignaturePolicy& policy)
{
    if (policy.keys.unreadable.isEmpty())
        return {};
    return refusal(platform::winerr::SignatureUnreadable, policy.keys.unreadable.join(QStringLiteral("; ")));
}

// The refusal of a file signed at `timestamp` as `current`, by the record.
trust::Verdict olderrefusal(const SignaturePolicy& policy, const SignatureRecord& record, const QString& current,
                            qint64 timestamp)
{
    if (policy.allowOlder)
        return {};
    const std::optional<SignedFile> installed = record.find(current);
    if (!installed || !installed->verified || timestamp >= installed->timestamp)
        return {};
    return refusal(platform::winerr::SignedOlder,
                   kOlderThanInstalled.arg(stamptext(timestamp), stamptext(installed->timestamp))
                       + policy.allowOlderHint);
}

// Refuses a verified work file signed at `timestamp` that is older than the
// recorded one, else records it as verified: 0 or the refusal's code with
// its words in `reason`.
int recordverified(const SignaturePolicy& policy, qint64 timestamp, const QString& current, const QString& work,
                   QString& reason)
{
    SignatureRecord record;
    trust::Verdict verdict;
    if (const int code = record.read(current))
        verdict = refusal(code, kRecordNotRead.arg(signaturerecordname(current), platform::errorText(code)));
    if (verdict.ok())
        verdict = olderrefusal(policy, record, current, timestamp);
    if (!verdict.ok()) {
        reason = verdict.reason;
        return verdict.code;
    }
    (void)record.set(work, {timestamp, true});  // the work file stands: it was just verified
    if (const int code = record.write(current, {work})) {
        reason = kRecordNotWritten.arg(signaturerecordname(current), platform::errorText(code));
        return code;
    }
    return 0;
}

}  // namespace

WorkFileCheck signaturecheck(const SignaturePolicy& policy, const QString& signature, const QString& name,
                             const QString& current)
{
    if (!policy.keys.required())
        return {};
    return [policy, signature, name, current](const QString& work, QString& reason) {
        trust::Verdict verdict = unusablekeys(policy);
        if (verdict.ok())
            verdict = trust::verifyFile(work, signature, name, policy.keys.keys);
        if (!verdict.ok()) {
            reason = verdict.reason;
            return verdict.code;
        }
        return recordverified(policy, verdict.timestamp, current, work, reason);
    };
}

StreamedCheck hashingsignaturecheck(const SignaturePolicy& policy, const QString& signature, const QString& name,
                                    const QString& current)
{
    if (!policy.keys.required())
        return {};
    // What the copy handed over: filled on the copy's second thread, read by
    // the check after the copy has joined it.
    struct Hashed {
        trust::StreamDigest digest;
        std::optional<platform::FileStamp> written;
    };
    const auto hashed = std::make_shared<Hashed>();
    platform::ChunkSink sink;
    sink.take = [hashed](const char* bytes, qint64 size) { hashed->digest.add(bytes, size); };
    sink.finished = [hashed](const platform::FileStamp& written) { hashed->written = written; };
    const WorkFileCheck readBack = signaturecheck(policy, signature, name, current);
    WorkFileCheck check = [policy, signature, name, current, hashed, readBack](const QString& work, QString& reason) {
        if (!hashed->written || hashed->written->size != hashed->digest.size())
            return readBack(work, reason);
        trust::Verdict verdict = unusablekeys(policy);
        if (verdict.ok())
            verdict = trust::verifyHashed(hashed->digest, work, signature, name, policy.keys.keys);
        // The digest is of what the copy wrote; it vouches for the work file
        // only while the file is the one the copy left, unchanged since. Taken
        // last, right before the check passes and the file is placed.
        const platform::Result<platform::FileStamp> now = platform::fileStamp(work);
        if (!now.ok() || now.value() != *hashed->written)
            return readBack(work, reason);
        if (!verdict.ok()) {
            reason = verdict.reason;
            return verdict.code;
        }
        return recordverified(policy, verdict.timestamp, current, work, reason);
    };
    return {std::move(sink), std::move(check)};
}

WorkFileCheck verifiedcheck(const SignaturePolicy& policy, qint64 timestamp, const QString& current)
{
    if (!policy.keys.required())
        return {};
    return [policy, timestamp, current](const QString& work, QString& reason) {
        if (const trust::Verdict unusable = unusablekeys(policy); !unusable.ok()) {
            reason = unusable.reason;
            return unusable.code;
        }
        return recordverified(policy, timestamp, current, work, reason);
    };
}

trust::Verdict expectedolderrefusal(const SignaturePolicy& policy, qint64 timestamp, const QString& current)
{
    if (!policy.keys.required())
        return {};
    if (trust::Verdict unusable = unusablekeys(policy); !unusable.ok())
        return unusable;
    SignatureRecord record;
    if (record.read(current) != 0)
        return {};  // the install itself says why it cannot read the record
    return olderrefusal(policy, record, current, timestamp);
}

WorkFileCheck carrysignature(const QString& backup, const QString& current)
{
    if (!platform::pathExists(signaturerecordname(current)))
        return {};
    return [backup, current](const QString& work, QString& reason) {
        SignatureRecord record;
        if (const int code = record.read(current)) {
            reason = kRecordNotRead.arg(signaturerecordname(current), platform::errorText(code));
            return code;
        }
        const std::optional<SignedFile> kept = record.find(backup);
        if (!kept)
            return 0;
        (void)record.set(work, *kept);  // the work file stands: it was just copied
        if (const int code = record.write(current, {work})) {
            reason = kRecordNotWritten.arg(signaturerecordname(current), platform::errorText(code));
            return code;
        }
        return 0;
    };
}

trust::Verdict expectedrefusal(const SignaturePolicy& policy, const QString& serverFile, const QString& name,
                               const QString& current)
{
    if (!policy.keys.required())
        return {};
    trust::Verdict verdict = unusablekeys(policy);
    if (verdict.ok())
        verdict = trust::checkSignature(trust::signaturefor(serverFile), name, policy.keys.keys);
    if (!verdict.ok())
        return verdict;
    return expectedolderrefusal(policy, verdict.timestamp, current);
}

}  // namespace vek
