// Start-up, the resize rule, closing, and the record file commands' window side.
#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <algorithm>

#include "app/main_window.h"
#include "app/window_texts.h"
#include "core/settings/settings_store.h"
#include "pages/composer/composer_page.h"
#include "pages/results/results_grid_model.h"
#include "pages/suspects/suspects_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "ui/print_commands.h"
#include "ui/prompts.h"
#include "ui/record_document.h"

namespace quorvane {

void TForm1::LoadSettingsIntoWindow() {
    startDir_ = QDir::currentPath();
    const LoadedSettings loaded = LoadSettings(PathBytes(startDir_), symptoms_);
    record_->SetMainFileName(PathFromBytes(loaded.MainFileName));
    record_->SetCaptionPrefix(windowTitle());
    if (!loaded.FirstRun) {
        TabSheet3->RefillList();
    }
    TabSheet8->SetWords(loaded.Words);
    record_->LoadRecord(MainFileName());
}

void TForm1::FormActivate() {
    // Once per program run: a second run would reload the record over unsaved
    // edits and ask for the agreement again.
    if (startupRan_) {
        return;
    }
    startupRan_ = true;
    Guard([this] {
        LoadSettingsIntoWindow();
        StatusBar1->showMessage(StatusNotice());
        analysisDone_ = false;
        analysis_.Release();
        QTextCursor(Memo3->document())
            .insertText(QString::fromLatin1(kVersionLine) + QLatin1Char('\n'));
        TabSheet3->RefillList();
        record_->SetCaptionPrefix(QString::fromLatin1(kVersionLine));
        SetReportTabs();
        analysis_.RefreshSymptomHeadings();
        PageControl1->setCurrentWidget(TabSheet5);
        if (!prompts_.Agreement(QString::fromLatin1(kAgreementTitle),
                                QString::fromLatin1(kAgreementQuestion))) {
            closeApproved_ = true;
            close();
            return;
        }
        Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        PageControl1->setCurrentWidget(TabSheet8);
        record_->MarkSaved();
        record_->OfferRecovery();
        TabSheet8->FocusEditor();
    });
    // After a failed start too: the window stays usable, and what is typed into it
    // is kept.
    record_->Recovery().Start();
}

void TForm1::FormResize() {
    const int pageWidth = std::max(0, ClientWidth() - 20);
    const int pageHeight = std::max(0, ClientHeight() - 40);
    PageControl1->resize(pageWidth, pageHeight);
    const QSize inner(std::max(0, pageWidth - 20), std::max(0, pageHeight - 40));
    RichEdit1->resize(inner);
    StringGrid1->resize(inner);
}

void TForm1::FormClose() {
    if (analysisDone_) {
        SuspectsPage1->Clear();  // it reads the items about to be released
        analysis_.Release();
    }
}

void TForm1::RichEdit2Change() {
    record_->RichEdit2Change();
}

void TForm1::New1Click() {
    PageControl1->setCurrentWidget(TabSheet8);
    record_->New();
    TabSheet8->FocusEditor();
}

void TForm1::Open2Click() {
    PageControl1->setCurrentWidget(TabSheet8);
    record_->Open();
    TabSheet8->FocusEditor();
}

void TForm1::Save2Click() {
    record_->Save();
}

void TForm1::SaveRecordAs() {
    record_->SaveRecordAs();
}

void TForm1::PromptSaveRecord() {
    record_->PromptSaveRecord();
}

void TForm1::SaveAs1Click() {
    if (PageControl1->currentWidget() == TabSheet1) {
        printing_->SaveReportAs(RichEdit1->toPlainText(), record_->Recovery().Path());
    } else if (PageControl1->currentWidget() == TabSheet8) {
        SaveRecordAs();
    }
}

void TForm1::Quit1Click() {
    if (!record_->MayClose()) {
        return;
    }
    closeApproved_ = true;
    close();
}

void TForm1::Print1Click() {
    if (PageControl1->currentWidget() == TabSheet1) {
        printing_->Print(*RichEdit1, QString::fromLatin1(kReportJobTitle));
    } else if (PageControl1->currentWidget() == TabSheet8) {
        printing_->Print(TabSheet8->Editor(), QString::fromLatin1(kRecordJobTitle));
    }
}

void TForm1::PrinterSetUp1Click() {
    printing_->PrinterSetUp();
}

}  // namespace quorvane
