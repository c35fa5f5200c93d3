// Attendee entry with a large reception: loading 1,000 attendees into the
// list and writing them back.
#include "BenchEnv.h"
#include "FrmSetMenberU.h"
#include "Prompter.h"
#include "TNumberEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int Attendees = 1000;

// Answers Yes to every question and shows nothing.
class YesPrompter : public Prompter
{
public:
    bool question(const QString &) override { return true; }
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    bool printerSetup(PrinterSetupChoice &) override { return false; }
    void showPreview(TplPrev &, TplSetPrinter *, const QString &) override {}
};

void seed(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (1, '大披露宴')"));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO D_TABLE VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 1; i <= Attendees; ++i) {
        const bool seated = i % 4 != 0;
        q.addBindValue(i);
        q.addBindValue(seated ? 1 + i % 5 : 0);
        q.addBindValue(seated ? 1 + (i / 5) % 5 : 0);
        q.addBindValue(seated ? i % 2 : 0);
        q.addBindValue(seated ? i / 50 + 1 : 0);
        q.addBindValue(QStringLiteral("新郎友人"));
        q.addBindValue(i % 3 ? QStringLiteral(" ") : QStringLiteral("株式会社山田商事"));
        q.addBindValue(QStringLiteral("出席者 %1").arg(i));
        q.addBindValue(QStringLiteral("様"));
        q.exec();
    }
    db.commit();
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            q.exec(QStringLiteral("INSERT INTO D_TABNM VALUES (1, %1, %2, '卓%1%2')").arg(r).arg(c));
}

void BM_LoadList(benchmark::State &state)
{
    TFrmSetMenber form;
    for (auto _ : state) {
        state.PauseTiming();
        form.SetHeaderState(true);
        form.nedtKanriNo->setValue(1);
        state.ResumeTiming();
        form.SetHeaderState(false);
    }
    if (form.lstvMenber->topLevelItemCount() != Attendees)
        state.SkipWithError("list not loaded");
}
BENCHMARK(BM_LoadList)->Unit(benchmark::kMillisecond);

void BM_UpdateList(benchmark::State &state)
{
    TFrmSetMenber form;
    for (auto _ : state) {
        state.PauseTiming();
        form.nedtKanriNo->setValue(1);
        form.SetHeaderState(false);
        state.ResumeTiming();
        form.bbtnExecute->click();
    }
    QSqlQuery q(dmMAIN()->ADOCMDB());
    q.exec(QStringLiteral("SELECT COUNT(*), MAX(KJNNO) FROM D_TABLE WHERE KANRINO = 1"));
    if (!q.next() || q.value(0).toInt() != Attendees || q.value(1).toInt() != Attendees)
        state.SkipWithError("attendees not written back");
}
BENCHMARK(BM_UpdateList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    bench::TempDataHome home;
    QApplication app(argc, argv);
    YesPrompter yes;
    setPrompter(&yes);
    return bench::runWithFreshDatabase(argc, argv, seed);
}
