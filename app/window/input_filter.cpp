#include "app/window/input_filter.h"

#include <algorithm>

#include "app/catalogue/text_rules.h"

namespace brenvale {

const std::vector<TInputFilterEntry>& InputFilterEntries() {
    // The list of the original program, with what today's phones, cameras, web sites and music
    // libraries write added in its order, and every file last, for names the list misses.
    static const std::vector<TInputFilterEntry> entries = {
        {"All Supported Files",
         "*.avi;*.mpeg;*.mpg;*.mpa;*.m1v;*.mv2;*.wma;*.wmv;*.asf;*.asx;*.mov; *.qt;*.3gp;*.3g2;*.mp3;*.mp2;*.ogg;"
         "*.aac;*.mp4;*.m4a;*.rm;*.rmvb;*.ram;*.ra;*.vob; *.dat;*.cda;*.dv; *.dif;*.wav; *.au; *.aiff;*.mjpg; "
         "*.mjpeg;*.ac3; *.gif; *.swf; *.flv;"
         "*.mkv;*.mka;*.webm;*.weba;*.ogv;*.oga;*.opus;*.spx;*.flac;*.m4v;*.m4b;*.f4v;*.ts;*.mts;*.m2ts;*.m2t;"
         "*.tod;*.mod;*.m2v;*.mxf;*.nut;*.divx;*.wv;*.ape;*.aif;*.aifc;*.caf;*.amr;*.eac3;*.dts;*.mpc;*.tta;*.w64"},
        {"3GPP Files (*.3gp)", "*.3gp"},
        {"3GPP2 Files (*.3g2)", "*.3g2"},
        {"AAC Files (*.aac)", "*.aac"},
        {"AC3 Files (*.ac3)", "*.ac3"},
        {"Audio CD Files (*.cda)", "*.cda"},
        {"AVI Files (*.avi)", "*.avi"},
        {"DV Video Files (*.dv, *.dif)", "*.dv;*.dif"},
        {"DVD VOB Files (*.vob)", "*.vob"},
        {"FLAC Files (*.flac)", "*.flac"},
        {"GIF Animated Files (*.gif)", "*.gif"},
        {"Macromedia Flash Files (*.flv, *.swf)", "*.flv; *.swf"},
        {"Matroska Files (*.mkv, *.mka)", "*.mkv;*.mka"},
        {"Monkey Audio Files (*.ape, *.cue)", "*.ape;*.cue"},
        {"MJpeg Video Files (*.mjpg, *.mjpeg)", "*.mjpg; *.mjpeg"},
        {"MP2 Files (*.mp2)", "*.mp2"},
        {"MP3 Files (*.mp3)", "*.mp3"},
        {"MPEG Files (*.mpeg, *.mpg, *.mpa, *.m1v, *.mv2)", "*.mpeg;*.mpg;*.mpa;*.m1v;*.mv2"},
        {"MPEG Transport Stream Files (*.ts, *.mts, *.m2ts)", "*.ts;*.mts;*.m2ts;*.m2t"},
        {"MPEG-4 Files (*.mp4)", "*.mp4"},
        {"MPEG-4 Audio Files (*.m4a, *.mp4)", "*.m4a; *.mp4"},
        {"MPEG-4 Video Files (*.m4v)", "*.m4v"},
        {"Ogg Vorbis Files (*.ogg)", "*.ogg"},
        {"Ogg Video and Audio Files (*.ogv, *.oga, *.opus)", "*.ogv;*.oga;*.opus;*.spx"},
        {"RealMedia Files (*.rm, *.rmvb, *.ram, *.ra)", "*.rm; *.rmvb; *.ram; *.ra"},
        {"QuickTime Files (*.mov, *.qt)", "*.mov; *.qt"},
        {"VCD DAT Files (*.dat)", "*.dat"},
        {"WAV Files (*.wav, *.au, *.aiff)", "*.wav; *.au; *.aiff"},
        {"WebM Files (*.webm)", "*.webm;*.weba"},
        {"Windows Media Files(*.wma, *.wmv, *.asf, *.asx)", "*.wma;*.wmv;*.asf;*.asx"},
        {"All Files (*)", "*"},
    };
    return entries;
}

std::vector<std::string> FilterPatterns(const TInputFilterEntry& entry) {
    std::vector<std::string> patterns;
    std::string_view rest = entry.Patterns;
    while (!rest.empty()) {
        const auto end = std::min(rest.find(';'), rest.size());
        if (std::string pattern = TrimBlanks(rest.substr(0, end)); !pattern.empty()) patterns.push_back(pattern);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return patterns;
}

std::vector<std::string> DialogNameFilters() {
    std::vector<std::string> filters;
    for (const TInputFilterEntry& entry : InputFilterEntries()) {
        std::string joined;
        for (const std::string& pattern : FilterPatterns(entry)) joined += (joined.empty() ? "" : " ") + pattern;
        filters.push_back(entry.Name + " (" + joined + ")");
    }
    return filters;
}

bool IsSupportedFileName(std::string_view file_name) {
    const std::string name = LowerCase(file_name);
    const std::vector<std::string> patterns = FilterPatterns(InputFilterEntries().front());
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        const std::string suffix = pattern.substr(1);  // "*.avi" -> ".avi"
        return name.size() > suffix.size() && name.ends_with(suffix);
    });
}

}  // namespace brenvale
