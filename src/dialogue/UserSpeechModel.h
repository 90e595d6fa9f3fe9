#pragma once
// A PocketSphinx speech model of the user's own for one language, kept in
// Zorvane's config folder:
//   $XDG_CONFIG_HOME/Zorvane/models/<code>/   (else ~/.config/Zorvane/models/<code>/)
// <code> is the language code the Dialogue panel and --language use ("fr",
// "de", "pt-br"); a model under the bare language ("pt") also serves its
// variants ("pt-br", "pt+f2"). The folder holds the acoustic model (the
// files mdef, means, variances, ... as PocketSphinx's models come: in the
// folder itself or in one folder inside it) and a pronunciation dictionary
// (one file ending in .dict or .dic: a word, then its phones, a line each).
#include <optional>
#include <string>

namespace zv {

struct UserSpeechModel {
    std::string folder;       // models/<code>
    std::string modelDir;     // the acoustic model (holds mdef)
    std::string dictionary;   // the pronunciation dictionary file

    // The models folder under the config folder, from the caller's
    // $XDG_CONFIG_HOME and $HOME; "" when neither is set.
    static std::string ModelsFolder(const char* xdgConfigHome, const char* home);

    // The model for `language` under `modelsFolder`. Nothing when there is
    // no folder for the language (`error` stays empty) or when the folder
    // lacks an acoustic model or a dictionary (`error` says which).
    static std::optional<UserSpeechModel> Find(const std::string& modelsFolder, const std::string& language,
                                               std::string& error);
};

} // namespace zv
