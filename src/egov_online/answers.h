// The answers of e-Gov 法令API Version 2 (JSON, as its published OpenAPI
// schema gives them) read into plain records, the rule for a safe base
// address, and the comparison of an imported law with e-Gov's current
// revision. No network here: the client (client.h) hands over the bytes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace tavrel::egov_online {

inline const QString kDefaultBaseAddress = QStringLiteral("https://laws.e-gov.go.jp/api/2");
inline constexpr int kDefaultTimeoutSeconds = 30;

// One law of a /laws answer: law_info and current_revision_info (the
// revision in force now, whatever the asof of the request).
struct LawEntry {
    QString lawId, lawNum, lawType;
    QString title, revisionId, enforcementDate, amendLawNum;
};

// One entry of a /law_revisions answer (newest first).
struct Revision {
    QString revisionId, title, enforcementDate, amendLawNum, status;
};

// What the collection records of an imported law (T_法令XML).
struct ImportedLaw {
    QString idHN, lawId, lawNum;
    QString revision;  // a law_revision_id, or the latest AmendLawNum of a file from elsewhere
    QString importedAt;
};

// An imported law whose text e-Gov has revised since.
struct LawChange {
    ImportedLaw law;
    QString oldDate;  // enforcement date of the imported revision, "" when e-Gov does not list it
    Revision current;
};

// The message for a base address the program refuses, or "" when it may be
// used: https anywhere, plain http only on the loopback address.
QString baseAddressProblem(const QUrl& base);

// Readers: false with error set when the bytes are not what the schema
// describes (not JSON, a field missing or of another type).
bool readLawList(const QByteArray& json, QList<LawEntry>& laws, QString& error);
bool readRevisions(const QByteArray& json, QList<Revision>& revisions, QString& error);
// The message of an error_info answer ({"code", "message"}), "" when the
// body holds none.
QString errorInfoMessage(const QByteArray& body);

// The revision e-Gov serves as the law's current text: the first in force
// (CurrentEnforced) of the list, nullopt when none is.
std::optional<Revision> currentRevision(const QList<Revision>& revisions);

// The amending law's number in one form for comparison: a file's
// AmendLawNum writes its date and positional numerals
// (令和六年六月一九日法律第五三号), e-Gov's amendment_law_num neither
// (令和六年法律第五十三号); both become 令和6年法律第53号. A text of another
// shape is returned unchanged.
QString comparableLawNum(const QString& lawNum);

// Whether the current revision differs from the one recorded at import. A
// recorded revision id is compared with the current revision id; a recorded
// AmendLawNum (a file from elsewhere) with the amending law of the current
// revision. nullopt when the law is up to date or e-Gov lists no revision
// in force.
std::optional<LawChange> changeSinceImport(const ImportedLaw& law, const QList<Revision>& revisions);

// The query a search text becomes: a law id or law number when the text is
// one, else a part of the title.
struct SearchQuery {
    QString field;  // "law_id", "law_num" or "law_title"
    QString value;
};
SearchQuery searchQueryFor(const QString& text);

// 法律, 政令, … for a law_type value; the value itself when unknown.
QString lawTypeName(const QString& lawType);

}  // namespace tavrel::egov_online
