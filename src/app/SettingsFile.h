#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Where the player's settings are kept between games: "settings.ini" in the folder
// $XDG_CONFIG_HOME/marrowdeep, or ~/.config/marrowdeep when XDG_CONFIG_HOME is unset, empty or
// not an absolute path. A player without a home keeps no settings.
class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path) : where(std::move(path)) {}
    // The player's own file, as the environment names the player's folders; none without them.
    static std::optional<SettingsFile> ofPlayer();

    const std::filesystem::path& path() const { return where; }
    // The file's text; none when there is no file (`problem` stays empty) or when it cannot be
    // read (`problem` says why).
    std::optional<std::string> read(std::string& problem) const;
    // Replaces the file with the text as one change: the text goes into a new file in the same
    // folder, flushed to the disk, which is then renamed over the old one, so that a crash or a
    // full disk leaves the old file or the new one whole. Makes the folder when it is missing.
    // False, with why, when the text could not be kept (the old file stays as it was).
    bool write(const std::string& text, std::string& problem) const;

private:
    std::filesystem::path where;
};
