# One static library per subsystem folder under src/. Sources are globbed so
# that adding a unit needs no edit here.
function(zr_add_subsystem name)
  file(GLOB _srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${name}/*.h)
  set(_empty ${CMAKE_BINARY_DIR}/zr_${name}_empty.cpp)
  if(NOT EXISTS ${_empty})
    file(WRITE ${_empty} "// keeps an otherwise empty library linkable\n")
  endif()
  add_library(zr_${name} STATIC ${_srcs} ${_empty})
  target_include_directories(zr_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(zr_${name} PUBLIC
      ZR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      ZR_SQL_DIR="${CMAKE_SOURCE_DIR}/sql")
  target_link_libraries(zr_${name} PUBLIC
      Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport
      PkgConfig::EXTLIBS ${FBCLIENT_LIBRARY} Threads::Threads ${CMAKE_DL_LIBS})
endfunction()

# One test program per test folder: tests/<name>/*.cpp, linked with every
# subsystem library and the shared test support.
function(zr_add_tests name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(test_${name} ${_srcs})
  target_link_libraries(test_${name} PRIVATE zr_test_support zr_all Qt6::Test GTest::gtest GTest::gmock)
  gtest_discover_tests(test_${name}
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 600)
endfunction()
