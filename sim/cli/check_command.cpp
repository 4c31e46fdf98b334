#include "sim/cli/check_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "sim/check/check_document.h"
#include "sim/check/check_model_file.h"
#include "sim/check/check_scene.h"
#include "sim/cli/exit_status.h"
#include "sim/formats/utf8_path.h"
#include "sim/formats/vehicle_kind.h"

namespace sim::cli {

namespace {

bool isSceneFile(const std::string& path) {
    std::string extension = utf8Path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".json";
}

}  // namespace

int checkCommand(const Arguments& arguments) {
    const VehicleKind kind = *vehicleKindNamed(arguments.vehicle);
    const std::vector<std::string>& paths = arguments.files;
    const bool json = arguments.format == "json";
    check::CheckDocument document;
    int status = 0;
    for (const std::string& path : paths) {
        try {
            std::string text;
            std::size_t warnings = 0;
            if (isSceneFile(path)) {
                const Scene scene = readSceneFile(path);
                const std::vector<check::ModelReport> models = check::checkScene(scene);
                text = check::formatCheck(scene, models);
                for (const check::ModelReport& model : models) warnings += model.warningCount;
                document.addScene(path, scene, models);
            } else {
                const check::ModelFileCheck model = check::checkModelFile(
                    path, vehicleKindName(kind), arguments.gears.value_or(defaultGears(kind)));
                text = model.text;
                warnings = model.warningCount;
                document.addModelFile(path, model);
            }
            if (!json)
                std::cout << (&path == &paths.front() ? "" : "\n") << "checking " << path << "\n\n"
                          << text;
            if (warnings > 0) status = std::max(status, exitFailure);
        } catch (const BadInput& error) {
            std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
            document.addError(path, isSceneFile(path), error.what());
            status = exitBadInput;
        }
        // The document, once every file is in it.
        if (json && &path == &paths.back()) std::cout << document.text(status);
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("writing to standard output failed");
    }
    return status;
}

}  // namespace sim::cli
