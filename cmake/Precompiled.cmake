# Precompiled headers: the standard and Qt headers that most sources of a
# target include are parsed once for the target instead of once for every
# source, which was most of a cold build's time (and so of the wait for the
# demo's first window on a fresh clone). HALDEN_PCH=OFF builds without them,
# which checks that every source includes what it uses.
option(HALDEN_PCH "Precompile the common standard and Qt headers of the larger targets" ON)

# Unity builds: each target's sources are compiled in batches of one
# translation unit, so the headers and the inline code they share are parsed
# and compiled once per batch instead of once per source (half of a cold
# build's time). HALDEN_UNITY=OFF compiles every source on its own, which
# checks that helpers in unnamed namespaces do not clash only by luck.
option(HALDEN_UNITY "Compile each target's sources in batches (unity build)" ON)
if(HALDEN_UNITY)
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
  # GCC takes every source of a batch for a header, and so warns of each
  # class deriving from a type in an unnamed namespace there (a test fixture
  # and its tests). A header of ours still gets the warning in the build
  # without batches.
  add_compile_options($<$<COMPILE_LANG_AND_ID:CXX,GNU>:-Wno-subobject-linkage>)
endif()

set(HALDEN_PCH_STD
  <algorithm> <array> <cmath> <cstdint> <cstring> <functional> <map> <memory> <mutex> <optional> <span> <string>
  <string_view> <utility> <vector>)
set(HALDEN_PCH_QT_CORE <QByteArray> <QDateTime> <QObject> <QPointer> <QString> <QTimer>)
set(HALDEN_PCH_QT_WIDGETS
  <QAction> <QApplication> <QComboBox> <QCursor> <QDialog> <QEvent> <QHBoxLayout> <QLabel> <QLineEdit> <QMainWindow>
  <QMenu> <QMouseEvent> <QPainter> <QProgressBar> <QPushButton> <QScrollBar> <QVBoxLayout> <QWidget>)
set(HALDEN_PCH_QT_NETWORK <QHostAddress> <QTcpServer> <QTcpSocket>)

# halden_precompile(TARGET [QT_CORE] [QT_WIDGETS] [QT_NETWORK]): the standard
# headers and the named Qt sets, for a target of several sources.
function(halden_precompile target)
  if(NOT HALDEN_PCH)
    return()
  endif()
  set(headers ${HALDEN_PCH_STD})
  foreach(set IN LISTS ARGN)
    list(APPEND headers ${HALDEN_PCH_${set}})
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
