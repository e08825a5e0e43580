#pragma once

#include "rig/station_settings.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::logstore {
class BandNameTable;
}

namespace kestrel::rig {

// What the Set Up windows edit, and where RIG.LST is written when one of them closes.
struct SetupEnv {
    StationSettings& settings;
    RigLinkSettings& link;
    const logstore::BandNameTable& bands;
    std::string settings_path;
    std::string log_path; // the log in use, which a back-up folder must never overwrite
};

// "STATION DATA ": a row of five boxes per band, and the rig link's port and speed.
class StationDataWindow final : public ui::Window {
  public:
    enum Id {
        k_heading = 99,
        k_transceiver = 100,
        k_antenna = 200,
        k_power = 300,
        k_mode = 400,
        k_operator = 500,
        k_band_label = 600,
        k_port_label = 700,
        k_rate_label = 701,
        k_port = 800,
        k_rate = 801,
        k_copy = 999,
        // Keys.
        k_next_column = 1001,
        k_previous_column = 1002,
        k_previous_row = 1003,
        k_next_row = 1004,
    };
    explicit StationDataWindow(SetupEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void move_focus(ui::Context& ctx, int id);
    void copy_row(ui::Context& ctx);
    void close(ui::Context& ctx);
    SetupEnv m_env;
    int m_focused_box = k_transceiver;
};

// "Set Latitude and Longitude".
class LocationWindow final : public ui::Window {
  public:
    enum Id { k_latitude_label = 100, k_longitude_label = 101, k_latitude = 200, k_longitude = 201 };
    explicit LocationWindow(SetupEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    SetupEnv m_env;
};

// "Set Back Up Drive Letter": here the directory the log is copied into at exit.
class BackupDriveWindow final : public ui::Window {
  public:
    enum Id { k_label = 100, k_directory = 200, k_browse = 300 };
    explicit BackupDriveWindow(SetupEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    SetupEnv m_env;
    std::string m_chosen; // the folder the Browse dialog gave, as the file system's bytes
};

void station_data_window(ui::Context& parent, SetupEnv env);
void location_window(ui::Context& parent, SetupEnv env);
void backup_drive_window(ui::Context& parent, SetupEnv env);

} // namespace kestrel::rig
