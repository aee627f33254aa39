#include "app/start/TStartOptions.h"

#include "engine/split/PieceSizes.h"

#include <QFile>

#include <cstdlib>
#include <optional>

namespace {

bool NamesWindowSystem(const std::vector<std::string>& arguments)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    for (const std::string& argument : arguments)
        if (argument == "-platform" || argument.rfind("-platform=", 0) == 0)
            return true;
    return false;
}

constexpr std::int64_t kDefaultPieceSize = 1457664;  // one 3.5-inch floppy disk, as in the window

struct TLongOption
{
    std::string_view Name;
    bool TakesValue;
};

constexpr TLongOption kLongOptions[] = {
    {"help", false}, {"version", false}, {"split", true},    {"join", true},
    {"size", true},  {"preset", true},   {"replace", false}, {"quit-when-shown", false},
};

std::string PresetKeys()
{
    std::string keys;
    for (const TPieceSizePreset& preset : PieceSizePresets())
        keys += (keys.empty() ? "" : ", ") + std::string(preset.Key);
    return keys;
}

}  // namespace

TStartOptions::TStartOptions()
    : pieceSize_(kDefaultPieceSize)
{
}

TStartOptions::TStartOptions(const std::vector<std::string>& arguments)
    : TStartOptions()
{
    Read(arguments);
}

TStartOptions::TStartOptions(const QStringList& arguments)
    : TStartOptions()
{
    std::vector<std::string> bytes;
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument).toStdString());
    Read(bytes);
}

TStartOptions TStartOptions::FromMain(int argc, char* argv[])
{
    TStartOptions options;
    options.leavesQtOptions_ = true;
    const std::vector<std::string> arguments(argv, argv + argc);
    options.Read(arguments);
    if (options.action_ == TAction::Window && !NamesWindowSystem(arguments))
        options.action_ = TAction::NoDisplay;
    return options;
}

void TStartOptions::Refuse(const std::string& problem)
{
    if (action_ != TAction::UsageError)
        problem_ = problem;
    action_ = TAction::UsageError;
}

void TStartOptions::Read(const std::vector<std::string>& arguments)
{
    std::vector<std::string> names;
    bool help = false, version = false, split = false, join = false;
    std::optional<std::string> size, preset;
    bool optionsEnd = false;
    std::string qtOption;  // the first single-dash option left to Qt
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
            names.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
            continue;
        }
        if (argument == "-h") {
            help = true;
            continue;
        }
        if (argument == "-v" || argument == "-V") {
            version = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (leavesQtOptions_ && qtOption.empty())
                qtOption = argument;
            else if (!leavesQtOptions_)
                Refuse("unbekannte Option „" + argument + "“");
            continue;
        }
        // "--name value" or "--name=value"; a unique beginning of a name stands for it.
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const TLongOption* option = nullptr;
        int matches = 0;
        for (const TLongOption& known : kLongOptions) {
            if (known.Name == name) {
                option = &known;
                matches = 1;
                break;
            }
            if (!name.empty() && known.Name.substr(0, name.size()) == name) {
                option = &known;
                ++matches;
            }
        }
        if (matches != 1) {
            Refuse((matches == 0 ? "unbekannte Option „" : "mehrdeutige Option „") + argument + "“");
            continue;
        }
        std::string value;
        if (option->TakesValue) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                Refuse("die Option „--" + std::string(option->Name) + "“ braucht einen Wert");
                continue;
            }
        } else if (equals != std::string::npos) {
            Refuse("die Option „--" + std::string(option->Name) + "“ nimmt keinen Wert");
            continue;
        }
        if (option->Name == "help")
            help = true;
        else if (option->Name == "version")
            version = true;
        else if (option->Name == "replace")
            replace_ = true;
        else if (option->Name == "quit-when-shown")
            quitWhenShown_ = true;
        else if (option->Name == "size")
            size = value;
        else if (option->Name == "preset")
            preset = value;
        else {
            (option->Name == "split" ? split : join) = true;
            if (!workPath_.empty())
                Refuse("nur eine Datei auf einmal: „--split“ oder „--join“ einmal angeben");
            workPath_ = value;
        }
    }
    if (help || version) {
        // Asked for the answers, the rest of the line does not count.
        action_ = help ? TAction::Help : TAction::Version;
        problem_.clear();
        return;
    }
    if (action_ == TAction::UsageError)
        return;
    if (workPath_.empty() && (split || join))
        Refuse("der Dateiname fehlt");
    else if (split && join)
        Refuse("„--split“ und „--join“ schließen einander aus");
    else if ((size || preset) && !split)
        Refuse("„--size“ und „--preset“ gelten nur mit „--split“");
    else if (size && preset)
        Refuse("„--size“ und „--preset“ schließen einander aus");
    else if (replace_ && !join)
        Refuse("„--replace“ gilt nur mit „--join“");
    else if ((split || join) && !names.empty())
        Refuse("überzähliges Argument „" + names.front() + "“");
    else if ((split || join) && !qtOption.empty())
        Refuse("unbekannte Option „" + qtOption + "“");
    else if ((split || join) && quitWhenShown_)
        Refuse("„--quit-when-shown“ gilt nur für das Fenster");
    if (action_ == TAction::UsageError)
        return;
    if (size) {
        const std::optional<std::int64_t> bytes = ParsePieceSizeText(*size);
        if (!bytes) {
            Refuse("ungültige Größe „" + *size +
                   "“: eine ganze Zahl ab 1, wahlweise mit K, M, G, T oder KB, MB, GB, TB");
            return;
        }
        pieceSize_ = *bytes;
    }
    if (preset) {
        const TPieceSizePreset* known = FindPieceSizePreset(*preset);
        if (!known) {
            Refuse("unbekannte Vorgabe „" + *preset + "“; bekannt sind: " + PresetKeys());
            return;
        }
        pieceSize_ = known->Bytes;
    }
    if (split)
        action_ = TAction::Split;
    else if (join)
        action_ = TAction::Join;
    else if (!names.empty())
        file_ = QFile::decodeName(QByteArray::fromStdString(names.front()));
}

std::string TStartOptions::HelpText()
{
    std::string presets;
    for (const TPieceSizePreset& preset : PieceSizePresets()) {
        std::string key = preset.Key;
        key.resize(10, ' ');
        presets += "                      " + key + std::to_string(preset.Bytes) + " Bytes\n";
    }
    return "Aufruf: parzello [DATEI|ORDNER]\n"
           "        parzello --split DATEI [--size GRÖSSE | --preset NAME]\n"
           "        parzello --join TEIL [--replace]\n"
           "Teilt eine Datei in nummerierte Teile (DATEI.0001, DATEI.0002, ...) mit einer\n"
           "Prüfsummendatei DATEI.sha256 und fügt eine Teilfolge wieder zusammen.\n"
           "\n"
           "Ohne --split und --join öffnet sich das Fenster, auf DATEI oder ORDNER, wenn\n"
           "eine oder einer genannt ist.\n"
           "\n"
           "  --split DATEI       teilt DATEI ohne Fenster; die Teile liegen neben ihr\n"
           "  --size GRÖSSE       die Größe der Teile in Bytes (Vorgabe 1457664), wahlweise\n"
           "                      mit der Einheit K, M, G, T (Potenzen von 1024) oder\n"
           "                      KB, MB, GB, TB (Potenzen von 1000), etwa 700M\n"
           "  --preset NAME       eine übliche Größe:\n" +
           presets +
           "  --join TEIL         fügt die Teilfolge, zu der TEIL gehört, ohne Fenster\n"
           "                      wieder zusammen\n"
           "  --replace           ersetzt dabei eine vorhandene Datei dieses Namens;\n"
           "                      ohne die Option bleibt sie, wie sie ist\n"
           "  -h, --help          zeigt diese Hilfe und endet\n"
           "  -v, --version       zeigt die Version und endet\n"
           "\n"
           "Ohne Fenster stehen Meldungen auf der Standardfehlerausgabe, auf einem\n"
           "Terminal mit einer Fortschrittszeile; es wird nie nachgefragt.\n"
           "Exit-Status: 0 bei Erfolg, 1 bei einem Fehler, 2 bei einem falschen Aufruf.\n";
}

std::string TStartOptions::VersionText()
{
    return std::string("parzello ") + PARZELLO_VERSION + "\n";
}
