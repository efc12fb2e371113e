# Keeps the libraries layered: run as `cmake -DSOURCE_DIR=<checkout> -P scripts/check-layers.cmake`
# (CTest runs it as the test "Layers"). Each folder of src/ may include only itself and the folders
# listed before it; a logic library (any file that is not part of qs_<folder>_widgets) includes no
# widget header and nothing from ui/, and lib/ includes no QtGui header either. Since every include
# points to the same folder or an earlier one, the folders cannot include each other in a cycle.
cmake_minimum_required(VERSION 3.25)

set(order lib ui site generate editor commands explorer check indexer tools shell)
# Headers of QtWidgets (and of the WebEngine widgets), by module or by the usual widget class names.
set(widget_header "^(Qt(Widgets|WebEngineWidgets)/|Q(Widget|Dialog|MessageBox|InputDialog|FileDialog|MainWindow|Application|Layout|[VH]BoxLayout|GridLayout|FormLayout|PushButton|ToolButton|RadioButton|CheckBox|ComboBox|SpinBox|LineEdit|TextEdit|PlainTextEdit|TextBrowser|Label|Menu|MenuBar|ToolBar|StatusBar|TabWidget|TabBar|Splitter|ScrollArea|GroupBox|Frame|ProgressBar|ListView|ListWidget|TreeView|TreeWidget|TableView|TableWidget|HeaderView|AbstractItemView|Style|WebEngineView)(>|$))")
set(gui_header "^(QtGui/|Q(Color|Font|FontDatabase|Icon|Image|Pixmap|Painter|Palette|Brush|Pen|StandardItemModel|GuiApplication|DesktopServices|Clipboard|KeySequence|TextDocument|Action|Shortcut)(>|$))")

set(errors "")
list(LENGTH order count)
# A new folder must take its place in the order before it is checked.
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*)
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${SOURCE_DIR}/src/${folder} AND NOT folder IN_LIST order)
        string(APPEND errors "src/${folder}: folder missing from the layer order\n")
    endif()
endforeach()
foreach(folder IN LISTS order)
    list(FIND order ${folder} rank)
    set(dir ${SOURCE_DIR}/src/${folder})
    # The files of the folder's window library, from its CMakeLists.txt.
    set(widget_files "")
    file(READ ${dir}/CMakeLists.txt cmakelists)
    string(REGEX MATCH "add_library\\(qs_${folder}_widgets[^)]*\\)" block "${cmakelists}")
    string(REGEX MATCHALL "[A-Za-z0-9_]+\\.(cpp|h)" widget_files "${block}")
    file(GLOB sources RELATIVE ${dir} ${dir}/*.cpp ${dir}/*.h)
    foreach(source IN LISTS sources)
        list(FIND widget_files ${source} is_widget)
        file(STRINGS ${dir}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" target "${line}")
            string(REGEX MATCH "^[^/]+" first "${target}")
            list(FIND order "${first}" target_rank)
            if(target_rank GREATER rank)
                string(APPEND errors "src/${folder}/${source}: ${target} is in a later layer\n")
            endif()
            if(is_widget EQUAL -1)
                if(first STREQUAL "ui" AND NOT folder STREQUAL "ui")
                    string(APPEND errors "src/${folder}/${source}: logic code includes ${target}\n")
                endif()
                if(target MATCHES "${widget_header}")
                    string(APPEND errors "src/${folder}/${source}: logic code includes the widget header ${target}\n")
                endif()
                if(folder STREQUAL "lib" AND target MATCHES "${gui_header}")
                    string(APPEND errors "src/${folder}/${source}: lib is QtCore only, it includes ${target}\n")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(errors)
    message(FATAL_ERROR "Layering broken:\n${errors}")
endif()
message(STATUS "Layers: ${count} folders, every include points to the same folder or an earlier one")
