// What the files of a first session must hold, computed by the engine rather than
// by the window: the settings file a first run writes, and the diary that the
// example becomes after clicking words of the word grid and typing.
//
//   e2e_expect --example FILE --scratch EMPTY_DIR --diary OUT --settings OUT
//              [--click COLUMN,ROW]... [--type TEXT]
//
// The clicks and the typing are applied in the order given.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/analysis/symptom_table.h"
#include "core/composer/word_insertion.h"
#include "core/settings/settings_store.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// The editor's text after loading a file, with CR LF between lines: CR LF, LF and
// CR each end a line, and the last line end opens no further line.
std::string LoadedEditorText(const std::string& file) {
    std::string text;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c != '\r' && c != '\n') {
            text.push_back(c);
            continue;
        }
        if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++i;
        }
        if (i + 1 < file.size()) {
            text += "\r\n";
        }
    }
    return text;
}

// Typed text as the editor stores it: Return makes a line break.
std::string TypedText(const std::string& typed) {
    std::string text;
    for (const char c : typed) {
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return text;
}

struct Step {
    bool click = false;
    int column = 0;
    int row = 0;
    std::string typed;
};

Step ParseClick(const std::string& value) {
    Step step;
    step.click = true;
    char comma = 0;
    std::istringstream in(value);
    if (!(in >> step.column >> comma >> step.row) || comma != ',' || !in.eof() || step.column < 0 ||
        step.column >= quorvane::kComposerColumns || step.row < 0 ||
        step.row >= quorvane::kComposerRows) {
        throw std::runtime_error("bad cell '" + value + "'");
    }
    return step;
}

int Run(const std::vector<std::string>& args) {
    fs::path example;
    fs::path scratch;
    fs::path diaryOut;
    fs::path settingsOut;
    std::vector<Step> steps;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size()) {
            throw std::runtime_error("missing value for " + args[i]);
        }
        const std::string& name = args[i];
        const std::string& value = args[++i];
        if (name == "--example") {
            example = value;
        } else if (name == "--scratch") {
            scratch = value;
        } else if (name == "--diary") {
            diaryOut = value;
        } else if (name == "--settings") {
            settingsOut = value;
        } else if (name == "--click") {
            steps.push_back(ParseClick(value));
        } else if (name == "--type") {
            steps.push_back(Step{false, 0, 0, value});
        } else {
            throw std::runtime_error("unknown option " + name);
        }
    }
    if (example.empty() || scratch.empty() || diaryOut.empty() || settingsOut.empty()) {
        throw std::runtime_error("--example, --scratch, --diary and --settings are required");
    }
    if (fs::exists(scratch / quorvane::kSettingsFileName)) {
        throw std::runtime_error("the scratch folder already holds a settings file");
    }

    // A first run in an empty folder: the settings file it writes, and the words
    // the grid shows afterwards.
    quorvane::SymptomTable symptoms;
    const quorvane::LoadedSettings first = quorvane::LoadSettings(scratch.string(), symptoms);
    if (!first.FirstRun) {
        throw std::runtime_error("the scratch folder did not give a first run");
    }
    WriteBytes(settingsOut, ReadBytes(scratch / quorvane::kSettingsFileName));

    std::string text = LoadedEditorText(ReadBytes(example));
    for (const Step& step : steps) {
        if (step.click) {
            const std::string& word = first.Words[step.column][step.row];
            std::cout << "cell " << step.column << ',' << step.row << ": \"" << word << "\"\n";
            text = quorvane::AppendComposerWord(text, word);
        } else {
            text += TypedText(step.typed);
        }
    }
    // Saving ends the last line too.
    WriteBytes(diaryOut, text.empty() ? text : text + "\r\n");
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "e2e_expect: " << error.what() << '\n';
        return 2;
    }
}
