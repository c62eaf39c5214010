#pragma once

// The Suspects page on a diary with two planted triggers, analysed as the
// window analyses it.
#include <QFile>
#include <QString>
#include <fstream>
#include <sstream>

#include "core/evidence/not_foods.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "pages/page_test_harness.h"
#include "pages/suspects/suspects_page.h"
#include "support/find_child.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTableView>

namespace quorvane::testing {

// Wine every fifth day and a headache the day after; coffee every sixth day and
// IBS two days later; kiwi now and then; bread and tea alternate; the vitamin is
// one of the user's Not Foods; RANDOM, the symptom no one monitors, now and then.
inline QByteArray TwoSymptomDiary() {
    QByteArray text = "Monday March 1\r\n";
    for (int d = 0; d < 120; ++d) {
        QByteArray words = d % 2 == 0 ? "bread" : "tea";
        if (d % 5 == 0) {
            words += ", wine";
        }
        if (d % 5 == 1) {
            words += ", headache";
        }
        if (d % 6 == 0) {
            words += ", coffee";
        }
        if (d % 6 == 2) {
            words += ", ibs";
        }
        if (d % 20 == 3) {
            words += ", kiwi";
        }
        if (d % 3 == 0) {
            words += ", vitamin";
        }
        if (d % 9 == 4) {
            words += ", random";
        }
        text += words + ", #,\r\n";
    }
    return text;
}

class SuspectsPageTest : public PageTest {
  protected:
    SuspectsPageTest() : page(Services()) {
        page.resize(900, 640);
        diaryPath = dir.filePath(QStringLiteral("diary.txt"));
        QFile diary(diaryPath);
        EXPECT_TRUE(diary.open(QIODevice::WriteOnly));
        diary.write(TwoSymptomDiary());
        diary.close();
        ProfileFile(SettingsFile()).WriteString("Not Foods", "1", "Vitamin");
    }

    // The window's run, as far as the page needs it: one read gathering the
    // evidence, then the totals, which finish it.
    void Analyse() {
        analysis.Reset();
        ReadHooks hooks;
        hooks.GatherEvidence = true;
        analysis.Read(diaryPath.toStdString(), hooks);
        analysis.ComputeTotals(1);
        page.ShowAnalysis(diaryPath);
        engine = FindSuspects(analysis.Evidence(), analysis.Items(),
                              ReadNotFoods(ProfileFile(SettingsFile())));
    }

    QTableView* Table() { return Child<QTableView>(page, "SuspectTable"); }
    QComboBox* Chooser() { return Child<QComboBox>(page, "SuspectSymptom"); }
    QString Cell(int row, int column) {
        return Table()->model()->index(row, column).data().toString();
    }
    const SymptomSuspects& Shown() {
        for (const SymptomSuspects& group : engine.Symptoms) {
            if (QString::fromLatin1(group.Name) == Chooser()->currentText()) {
                return group;
            }
        }
        ADD_FAILURE() << "no symptom " << Chooser()->currentText().toStdString();
        return engine.Symptoms.front();
    }
    QString DetailsText() { return Child<QPlainTextEdit>(page, "SuspectDetails")->toPlainText(); }
    const SuspectRow& EngineRow(const QString& item) {
        for (const SuspectRow& row : Shown().Rows) {
            if (QString::fromLatin1(row.Item) == item) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << item.toStdString();
        return Shown().Rows.front();
    }

    std::string CsvBytes() const {
        std::ostringstream out;
        WriteSuspectsTable(engine, TableFormat::Csv, out);
        return out.str();
    }
    static std::string FileBytes(const QString& path) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QString diaryPath;
    SuspectsResult engine;
    SuspectsPage page;
};

}  // namespace quorvane::testing
