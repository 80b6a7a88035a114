#include "app/window_settings.h"

#include "app/render_settings.h"

SettingsCodec window_settings_codec(const MineralList& minerals) {
    auto settings = [](const ParameterRecord& record) {
        RenderOptions options;
        options.record = record;
        return render_settings(options);
    };
    SettingsCodec codec;
    // A command names what differs from the renderer's start, so that it stays short
    // enough to read; a file names everything, so that it keeps its meaning.
    codec.command = [settings](const ParameterRecord& record) {
        return render_command(changed_settings(settings(record)), "figure.png");
    };
    codec.text = [settings](const ParameterRecord& record) {
        return settings_text(settings(record));
    };
    codec.read = [minerals](const std::string& path, const std::string& shown_name) {
        const SettingsFile file = read_settings_file(path, shown_name, minerals);
        SettingsLoad load;
        load.skipped = file.lines.report;
        if (!file.error.empty()) {
            load.error = file.error;
            return load;
        }
        const std::vector<std::string_view> words(file.lines.arguments.begin(),
                                                  file.lines.arguments.end());
        const ParsedRenderOptions parsed = parse_render_options(words, minerals);
        if (parsed.options)
            load.record = parsed.options->record;
        else
            load.error = parsed.error;
        return load;
    };
    return codec;
}
