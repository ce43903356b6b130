# The main window's run side: the run control, its menu commands and the
# conversion wait window.
set(ORV_SHELL_RUN_SOURCES runside.cpp runside.h)
set(ORV_SHELL_RUN_LINKS orv_runcontrol_widgets orv_records_ftp orv_pages)
