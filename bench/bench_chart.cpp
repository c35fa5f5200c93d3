// The seating chart of a full reception: 5 tiers of 5 tables, 20 attendees on
// every side (1,000 attendees, all with title lines and honorifics), from the
// database to the finished display list, and on to a PDF file.
#include "BenchEnv.h"
#include "DrawChart.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"

#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const char *const kFamily[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "𠮷田"};
const char *const kGiven[] = {"太郎", "花子", "一郎", "美咲", "健一", "由美子", "翔", "さくら", "大輔", "恵"};
const char *const kKeisho[] = {"様", "様", "様", "くん", "ちゃん"};

void seed(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral(
        "INSERT INTO D_HED (KANRINO, KANRINM, SINROSEI, SINPUSEI, ENTITLE, HDATE, SEKIROW, SEKICOL1, SEKICOL2,"
        " SEKICOL3, SEKICOL4, SEKICOL5, TLONG, TBLPTN, PRNFONT, ENDSTR, OPT1, OPT2, DATEOUT, TBLSZ, KEISZ)"
        " VALUES (1, '大披露宴', '山田', '佐藤', '御結婚披露宴', '2027-04-10', 5, 5, 5, 5, 5, 5, 0, 0,"
        " 'ＭＳ Ｐ明朝', '本日はありがとうございました', 0, 0, 0, 10, 1)"));
    q.exec(QStringLiteral("INSERT INTO D_HINA VALUES (1, '山田 太郎', '佐藤 花子', '媒酌人', '会社 社長', '高木 正人',"
                          " '様', '媒酌人夫人', ' ', '高木 礼子', '様', '主賓', '病院 院長', '﨑山 誠', '様',"
                          " '主賓夫人', ' ', '﨑山 恵子', '様')"));
    const int pos[] = {1, 5, 10, 15, 19};
    db.transaction();
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            q.exec(QStringLiteral("INSERT INTO D_TABPOS VALUES (1, %1, %2, %3)").arg(r).arg(c).arg(pos[c - 1]));
            q.exec(QStringLiteral("INSERT INTO D_TABNM VALUES (1, %1, %2, '卓%1%2')").arg(r).arg(c));
        }
    q.prepare(QStringLiteral("INSERT INTO D_TABLE VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    int n = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            for (int side = 0; side <= 1; ++side)
                for (int s = 1; s <= 20; ++s) {
                    ++n;
                    q.addBindValue(n);
                    q.addBindValue(r);
                    q.addBindValue(c);
                    q.addBindValue(side);
                    q.addBindValue(s);
                    q.addBindValue(side ? QStringLiteral("新婦友人") : QStringLiteral("新郎友人"));
                    q.addBindValue(QStringLiteral("株式会社キボラ 第%1営業部").arg(n % 9 + 1));
                    q.addBindValue(QString::fromUtf8(kFamily[n % 10]) + QLatin1Char(' ')
                                   + QString::fromUtf8(kGiven[(n / 10) % 10]));
                    q.addBindValue(QString::fromUtf8(kKeisho[n % 5]));
                    q.exec();
                }
    db.commit();
}

ChartInputs inputs()
{
    ChartInputs in;
    in.kanriNo = 1;
    in.sikijo1 = QStringLiteral("ホテル・キボラ東京");
    in.sikijo2 = QStringLiteral("鳳凰の間");
    in.takasago = QStringLiteral("高　　砂");
    in.kei = true;
    return in;
}

void usePrinter(TplSetPrinter &printer)
{
    printer.setDeviceValuesOverride(
        fullSheetDeviceValues(QPageSize(QPageSize::A3), QPageLayout::Landscape, 600));
}

void BM_DrawChart(benchmark::State &state)
{
    TplSetPrinter printer;
    usePrinter(printer);
    const ChartInputs in = inputs();
    qsizetype ops = 0;
    for (auto _ : state) {
        TplPrev doc;
        const ChartResult r = DrawChart(in, doc, printer);
        if (!r.ok()) {
            state.SkipWithError(qPrintable(r.message));
            return;
        }
        ops = doc.page(0).size();
        benchmark::DoNotOptimize(ops);
    }
    state.counters["ops"] = double(ops);
}
BENCHMARK(BM_DrawChart)->Unit(benchmark::kMillisecond);

void BM_DrawChartToPdf(benchmark::State &state)
{
    TplSetPrinter printer;
    usePrinter(printer);
    const ChartInputs in = inputs();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.pdf"));
    for (auto _ : state) {
        TplPrev doc;
        const ChartResult r = DrawChart(in, doc, printer);
        QString error;
        if (!r.ok() || !doc.savePdf(path, &error)) {
            state.SkipWithError(qPrintable(r.ok() ? error : r.message));
            return;
        }
    }
}
BENCHMARK(BM_DrawChartToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::TempDataHome home;
    QGuiApplication app(argc, argv);
    return bench::runWithFreshDatabase(argc, argv, seed);
}
