# The compile settings the project's targets share, in one place.
#   tessarine_warnings: the warning flags, for every target, tests included
#     (CODING_GUIDELINES.md says why each is on or off). An ignored
#     [[nodiscard]] result is an error: a code is used, or dropped with (void)
#     and a reason. With TESSARINE_WERROR on (CI turns it on) every warning is.
#   tessarine_settings: those, and no implicit QString from a const char* in the
#     program's own code (texts are QStringLiteral or QLatin1String). Tests keep
#     the implicit form for their short ASCII literals.
option(TESSARINE_WERROR "Treat every compiler warning as an error" OFF)

add_library(tessarine_warnings INTERFACE)
target_compile_options(tessarine_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
  -Wimplicit-fallthrough -Wold-style-cast -Wconversion
  $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wlogical-op>
  # Clang's -Wconversion takes -Wsign-conversion in; GCC's, which sets the policy, does not.
  $<$<CXX_COMPILER_ID:Clang>:-Wno-sign-conversion>
  -Werror=unused-result
  $<$<BOOL:${TESSARINE_WERROR}>:-Werror>)

add_library(tessarine_settings INTERFACE)
target_link_libraries(tessarine_settings INTERFACE tessarine_warnings)
target_compile_definitions(tessarine_settings INTERFACE QT_NO_CAST_FROM_ASCII)
