// Recording texts in the preview document when no text repeats: 4,000
// different names and title lines (a chart of real guests), each measured
// and then drawn, as the chart does with its sample texts.
#include "BenchEnv.h"
#include "TplPrev.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

const char *const kFamily[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "𠮷田",
                               "﨑山", "髙橋", "斎藤", "松本", "井上", "木村", "林", "清水", "山崎", "森"};
const char *const kGiven[] = {"太郎", "花子", "一郎", "美咲", "健一", "由美子", "翔", "さくら", "大輔", "恵",
                              "誠", "礼子", "正人", "恵子", "陽菜", "蓮", "結衣", "湊", "葵", "悠真"};

QStringList distinctTexts(int n)
{
    QStringList texts;
    texts.reserve(n);
    for (int i = 0; texts.size() < n; ++i) {
        const QString name = QString::fromUtf8(kFamily[i % 20]) + QLatin1Char(' ') + QString::fromUtf8(kGiven[(i / 20) % 20]);
        // A number keeps every text different from all the others.
        texts << name + QString::number(i / 400 + 1)
              << QStringLiteral("株式会社キボラ 第%1営業部 課長").arg(i + 1);
    }
    return texts;
}

void BM_RecordDistinctTexts(benchmark::State &state)
{
    const QStringList texts = distinctTexts(4000);
    PageFrame frame;
    frame.PaperW = frame.PrintW = frame.PrintR = 4200;
    frame.PaperH = frame.PrintH = 2970;
    for (auto _ : state) {
        TplPrev doc;
        doc.setPageFrame(frame);
        doc.BeginDoc();
        doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
        doc.SetFontHeight(37);
        int y = 0;
        for (const QString &t : texts) {
            const int w = doc.TextWidth(t);
            doc.TextInRectLeft(100, 100 + w, y, y + 40, t);
            y = (y + 40) % 2800;
        }
        doc.EndDoc();
        benchmark::DoNotOptimize(doc.page(0).size());
    }
}
BENCHMARK(BM_RecordDistinctTexts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::useOffscreenPlatform();
    QGuiApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
