#pragma once
// The services every window of the program shares, made once at start-up and handed down to the
// windows that need them (never reached through a global).

#include "app/program_paths.h"
#include "app/settings_file.h"
#include "net/stat_beacon.h"
#include "net/web_context.h"

namespace qrv {

struct AppServices {
  explicit AppServices(ProgramPaths program_paths)
      : paths(std::move(program_paths)),
        settings(paths.settings),
        web(DeployConfig::Load(paths.deploy_files), paths.cookies),
        beacon(web) {}

  ProgramPaths paths;
  SettingsFile settings;
  WebContext web;
  StatBeacon beacon;
};

}  // namespace qrv
