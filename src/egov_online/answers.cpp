#include "egov_online/answers.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace tavrel::egov_online {

namespace {

// A field of a schema object: a string (or null where the schema allows it).
bool text(const QJsonObject& o, const char* key, bool nullable, QString& out, QString& error) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString()) {
        out = v.toString();
        return true;
    }
    if (nullable && (v.isNull() || v.isUndefined())) {
        out.clear();
        return true;
    }
    error = QStringLiteral("%1 がありません").arg(QLatin1String(key));
    return false;
}

bool object(const QJsonObject& o, const char* key, QJsonObject& out, QString& error) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isObject()) {
        error = QStringLiteral("%1 がありません").arg(QLatin1String(key));
        return false;
    }
    out = v.toObject();
    return true;
}

bool document(const QByteArray& json, QJsonObject& root, QString& error) {
    QJsonParseError pe;
    const QJsonDocument d = QJsonDocument::fromJson(json, &pe);
    if (pe.error != QJsonParseError::NoError) {
        error = QStringLiteral("JSONとして読めません: %1").arg(pe.errorString());
        return false;
    }
    if (!d.isObject()) {
        error = QStringLiteral("JSONのオブジェクトではありません");
        return false;
    }
    root = d.object();
    return true;
}

// The fields a revision_info carries that this program uses.
bool revisionFields(const QJsonObject& o, Revision& r, QString& error) {
    return text(o, "law_revision_id", false, r.revisionId, error) && text(o, "law_title", false, r.title, error) &&
           text(o, "amendment_enforcement_date", true, r.enforcementDate, error) &&
           text(o, "amendment_law_num", true, r.amendLawNum, error) &&
           text(o, "current_revision_status", true, r.status, error);
}

// "418AC0000000091_20250601_507AC0000000001" -> "2025-06-01".
QString dateOfRevisionId(const QString& id) {
    const QStringList parts = id.split(QLatin1Char('_'));
    if (parts.size() != 3 || parts[1].size() != 8) return {};
    const QString& d = parts[1];
    return d.left(4) + QLatin1Char('-') + d.mid(4, 2) + QLatin1Char('-') + d.mid(6, 2);
}

// 五十三, 二百一, 一二 (positional), 元, 53, ５３ -> the number; -1 when not a number.
int kanjiNumber(const QString& t) {
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    static const QString wide = QStringLiteral("０１２３４５６７８９");
    if (t == QStringLiteral("元")) return 1;
    if (t.isEmpty()) return -1;
    int total = 0, current = 0;
    bool positional = true;
    for (const QChar c : t) {
        int d = digits.indexOf(c);
        if (d < 0) d = wide.indexOf(c);
        if (d < 0 && c >= QLatin1Char('0') && c <= QLatin1Char('9')) d = c.unicode() - '0';
        if (d >= 0) {
            current = positional ? current * 10 + d : d;
            continue;
        }
        const int unit = c == QChar(0x5341) ? 10 : c == QChar(0x767E) ? 100 : c == QChar(0x5343) ? 1000 : 0;  // 十 百 千
        if (unit == 0) return -1;
        if (positional) {  // the first unit: what came before is its multiplier
            total = 0;
            positional = false;
        }
        total += (current == 0 ? 1 : current) * unit;
        current = 0;
    }
    return positional ? current : total + current;
}

}  // namespace

QString comparableLawNum(const QString& lawNum) {
    static const QRegularExpression form(
        QStringLiteral("^(明治|大正|昭和|平成|令和)(.+?)年(?:.+?月.+?日)?(.+?)第(.+?)号$"));
    const QRegularExpressionMatch m = form.match(lawNum.trimmed());
    if (!m.hasMatch()) return lawNum;
    const int year = kanjiNumber(m.captured(2)), number = kanjiNumber(m.captured(4));
    if (year < 0 || number < 0) return lawNum;
    return m.captured(1) + QString::number(year) + QStringLiteral("年") + m.captured(3) + QStringLiteral("第") +
           QString::number(number) + QStringLiteral("号");
}

QString baseAddressProblem(const QUrl& base) {
    if (!base.isValid() || base.host().isEmpty())
        return QStringLiteral("e-Govのアドレスが正しくありません：%1").arg(base.toString());
    const QString scheme = base.scheme().toLower();
    if (scheme == QLatin1String("https")) return {};
    const QHostAddress host(base.host());
    const bool loopback = base.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
                          (!host.isNull() && host.isLoopback());
    if (scheme == QLatin1String("http") && loopback) return {};
    return QStringLiteral("e-Govのアドレスは https で始まる必要があります"
                          "（http はこのコンピュータ内のアドレスに限ります）：%1")
        .arg(base.toString());
}

bool readLawList(const QByteArray& json, QList<LawEntry>& laws, QString& error) {
    QJsonObject root;
    if (!document(json, root, error)) return false;
    const QJsonValue list = root.value(QLatin1String("laws"));
    if (!list.isArray()) {
        error = QStringLiteral("laws がありません");
        return false;
    }
    laws.clear();
    for (const QJsonValue& v : list.toArray()) {
        if (!v.isObject()) {
            error = QStringLiteral("laws の要素がオブジェクトではありません");
            return false;
        }
        const QJsonObject o = v.toObject();
        QJsonObject info, revision;
        LawEntry e;
        Revision r;
        if (!object(o, "law_info", info, error) || !text(info, "law_id", false, e.lawId, error) ||
            !text(info, "law_num", false, e.lawNum, error) || !text(info, "law_type", false, e.lawType, error))
            return false;
        // current_revision_info is the revision in force now; revision_info
        // the one at the asof of the request (now, as this program asks).
        if (!object(o, "current_revision_info", revision, error) && !object(o, "revision_info", revision, error))
            return false;
        if (!revisionFields(revision, r, error)) return false;
        e.title = r.title, e.revisionId = r.revisionId, e.enforcementDate = r.enforcementDate,
        e.amendLawNum = r.amendLawNum;
        laws.push_back(e);
    }
    return true;
}

bool readRevisions(const QByteArray& json, QList<Revision>& revisions, QString& error) {
    QJsonObject root, info;
    if (!document(json, root, error) || !object(root, "law_info", info, error)) return false;
    const QJsonValue list = root.value(QLatin1String("revisions"));
    if (!list.isArray()) {
        error = QStringLiteral("revisions がありません");
        return false;
    }
    revisions.clear();
    for (const QJsonValue& v : list.toArray()) {
        Revision r;
        if (!v.isObject()) {
            error = QStringLiteral("revisions の要素がオブジェクトではありません");
            return false;
        }
        if (!revisionFields(v.toObject(), r, error)) return false;
        revisions.push_back(r);
    }
    return true;
}

QString errorInfoMessage(const QByteArray& body) {
    const QJsonDocument d = QJsonDocument::fromJson(body);
    return d.isObject() ? d.object().value(QLatin1String("message")).toString() : QString();
}

std::optional<Revision> currentRevision(const QList<Revision>& revisions) {
    for (const Revision& r : revisions)
        if (r.status == QLatin1String("CurrentEnforced")) return r;
    return std::nullopt;
}

std::optional<LawChange> changeSinceImport(const ImportedLaw& law, const QList<Revision>& revisions) {
    const std::optional<Revision> current = currentRevision(revisions);
    if (!current) return std::nullopt;
    // A revision id names the law and a date: LawId_YYYYMMDD_amending law.
    const bool recordedId = law.revision.startsWith(law.lawId + QLatin1Char('_'));
    const QString recorded = comparableLawNum(law.revision);
    if (recordedId ? law.revision == current->revisionId : recorded == comparableLawNum(current->amendLawNum))
        return std::nullopt;
    LawChange change{law, {}, *current};
    for (const Revision& r : revisions)
        // A law never amended records no AmendLawNum: its revision is the one without an amending law.
        if (recordedId ? r.revisionId == law.revision : comparableLawNum(r.amendLawNum) == recorded) {
            change.oldDate = r.enforcementDate;
            break;
        }
    if (change.oldDate.isEmpty() && recordedId) change.oldDate = dateOfRevisionId(law.revision);
    return change;
}

SearchQuery searchQueryFor(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression lawId(QStringLiteral("^[0-9]{3}[0-9A-Z]{12}$"));
    static const QRegularExpression lawNum(
        QStringLiteral("^(明治|大正|昭和|平成|令和)(元|[〇一二三四五六七八九十百千0-9０-９]+)年.+第[〇一二三四五六七八九十百千0-9０-９]+号$"));
    if (lawId.match(t).hasMatch()) return {QStringLiteral("law_id"), t};
    if (lawNum.match(t).hasMatch()) return {QStringLiteral("law_num"), t};
    return {QStringLiteral("law_title"), t};
}

QString lawTypeName(const QString& lawType) {
    static const QList<std::pair<QString, QString>> names = {
        {QStringLiteral("Constitution"), QStringLiteral("憲法")},
        {QStringLiteral("Act"), QStringLiteral("法律")},
        {QStringLiteral("CabinetOrder"), QStringLiteral("政令")},
        {QStringLiteral("ImperialOrder"), QStringLiteral("勅令")},
        {QStringLiteral("MinisterialOrdinance"), QStringLiteral("府省令")},
        {QStringLiteral("Rule"), QStringLiteral("規則")},
        {QStringLiteral("Misc"), QStringLiteral("その他")}};
    for (const auto& [value, name] : names)
        if (value == lawType) return name;
    return lawType;
}

}  // namespace tavrel::egov_online
