# The main window's data side: the data source handlers, the line rows, and
# the Record Data Manager, font panel and designer preview hosted in the window,
# the template side: the template designer, its commands and the play-list,
# and the designer side: the record lines, the selection frame, the line switches,
# the line-attributes pop-up, the alignment commands and the guides.
set(ORV_SHELL_DATA_SOURCES frmmain_data.cpp frmmain_panels.cpp dataside.h frmmain_templates.cpp templateside.h
    frmmain_designer.cpp designerside.h)
set(ORV_SHELL_DATA_LINKS orv_records_widgets orv_recordlist orv_text_widgets orv_templates orv_templates_widgets orv_preview_widgets orv_designer_frame orv_designer_align orv_designer_lines_widgets)
