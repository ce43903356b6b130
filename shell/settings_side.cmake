# The main window's settings side: the settings panel's handlers, the
# settings file's loading and saving, the save commands and the sibling
# program launch.
set(ORV_SHELL_SETTINGS_SOURCES frmmain_settings.cpp frmmain_settingspanel.cpp)
set(ORV_SHELL_SETTINGS_LINKS orv_settings orv_records orv_recordlist orv_records_ftp)
