// End to end: kivora-tool builds the demo reception and renders it without a window.
#include "TestEnv.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRectF>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

struct ToolRun
{
    int code = -1;
    QString out, err;
};

ToolRun tool(const QStringList &args)
{
    QProcess p;
    p.start(qEnvironmentVariable("KIVORA_TOOL"), args);
    ToolRun r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The visible extent of a text: TextInRect* is cut at its rectangle.
QRectF textRect(const QJsonObject &o)
{
    const QJsonObject b = o.value("box").toObject();
    double l = b.value("left").toDouble(), r = b.value("right").toDouble();
    if (o.value("op").toString().startsWith(QLatin1String("TextInRect"))) {
        l = std::max(l, o.value("Left").toDouble());
        r = std::min(r, o.value("Right").toDouble());
    }
    return QRectF(QPointF(l, b.value("top").toDouble()), QPointF(r, b.value("bottom").toDouble()));
}

} // namespace

class ChartTool : public KivoraTest
{
};

TEST_F(ChartTool, DemoThenChartAsPngPdfAndJson)
{
    ASSERT_FALSE(qEnvironmentVariable("KIVORA_TOOL").isEmpty());
    const QString folder = home->path() + QStringLiteral("/demo");

    ToolRun r = tool({QStringLiteral("demo"), QStringLiteral("--data-folder"), folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/kivora.mdb")));

    // A second demo must not overwrite reception 1 unless asked to.
    r = tool({QStringLiteral("demo"), QStringLiteral("--data-folder"), folder});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--replace"))) << r.err.toStdString();
    r = tool({QStringLiteral("demo"), QStringLiteral("--data-folder"), folder, QStringLiteral("--replace")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    const QString png = home->path() + QStringLiteral("/x.png");
    r = tool({QStringLiteral("chart"), QStringLiteral("1"), QStringLiteral("--out"), png, QStringLiteral("--data-folder"),
              folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), image.height()); // landscape
    EXPECT_NEAR(image.width(), 3307, 2);       // A3 at 200 dpi

    const QString pdf = home->path() + QStringLiteral("/x.pdf");
    r = tool({QStringLiteral("chart"), QStringLiteral("1"), QStringLiteral("--out"), pdf, QStringLiteral("--data-folder"),
              folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(5).startsWith("%PDF-"));

    // Venue lines are used as the print form loads them: trailing blanks removed.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("chart_tool_check"));
        db.setDatabaseName(folder + QStringLiteral("/kivora.mdb"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("UPDATE D_HED SET SIKIJO1 = SIKIJO1 || '   ' WHERE KANRINO = 1")));
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("chart_tool_check"));

    const QString json = home->path() + QStringLiteral("/x.json");
    r = tool({QStringLiteral("chart"), QStringLiteral("1"), QStringLiteral("--out"), json, QStringLiteral("--data-folder"),
              folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile jf(json);
    ASSERT_TRUE(jf.open(QIODevice::ReadOnly));
    const QJsonObject dump = QJsonDocument::fromJson(jf.readAll()).object();
    const QJsonObject frame = dump.value("frame").toObject();
    const QRectF paper(0, 0, frame.value("PaperW").toInt(), frame.value("PaperH").toInt());
    const QJsonArray pages = dump.value("pages").toArray();
    ASSERT_EQ(pages.size(), 1);

    int circles = 0, nameRects = 0;
    QStringList texts;
    QList<QPair<QString, QRectF>> boxes;
    for (const QJsonValue &v : pages[0].toArray()) {
        const QJsonObject o = v.toObject();
        const QString op = o.value("op").toString();
        if (op == QLatin1String("DrawCircle"))
            ++circles;
        if (op == QLatin1String("TextInRectLeft"))
            ++nameRects;
        if (!o.contains("text"))
            continue;
        const QString t = o.value("text").toString();
        texts << t;
        if (t.trimmed().isEmpty())
            continue;
        const QRectF box = textRect(o);
        EXPECT_TRUE(paper.contains(box)) << t.toStdString();
        boxes.append({t, box});
    }
    EXPECT_EQ(circles, 11);
    EXPECT_EQ(nameRects, 60 * 3); // two title lines and the name of every attendee
    for (const char *must : {"𠮷田 健一", "John O'Brien", "髙橋 正和", "山田 太郎", "佐藤 花子", "高　　砂",
                             "2027年4月10日", "ホテル・キボラ東京", "鳳凰の間", "御結婚披露宴", "新郎", "新婦"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(must))) << must;

    // Nothing written over anything else.
    for (qsizetype i = 0; i < boxes.size(); ++i)
        for (qsizetype j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].second.intersects(boxes[j].second))
                << boxes[i].first.toStdString() << " / " << boxes[j].first.toStdString();

    // A reception that does not exist.
    r = tool({QStringLiteral("chart"), QStringLiteral("2"), QStringLiteral("--out"), json, QStringLiteral("--data-folder"),
              folder});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("データ不整合が発生しました。"))) << r.err.toStdString();
}
