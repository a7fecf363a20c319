// The one place where the GUI's usage (image texts "set:X image:Y", property names
// "Tooltip" and "Unified*", layout name prefixes, global widget names) meets
// CEGUI 0.8, and where CEGUI's exceptions stop: nothing here throws.
#pragma once

#include <CEGUI/Size.h>
#include <CEGUI/String.h>
#include <CEGUI/WindowManager.h>

#include <functional>
#include <string>

namespace CEGUI {
class Renderer;
class Texture;
class Window;
}  // namespace CEGUI

class VTextureObject;

namespace CeguiCompat {

// The renderer CEGUI draws with, made before the CEGUI system (the display size is
// set first, or injected input hits nothing): the null renderer headless, the
// OpenGL renderer in the window's context when a window exists. Null
// when it cannot be made. DestroyRenderer takes what CreateRenderer gave (null is
// ignored).
CEGUI::Renderer* CreateRenderer(const CEGUI::Sizef& displaySize);
void DestroyRenderer(CEGUI::Renderer* renderer);

// Runs a piece of CEGUI code; an exception is logged ("CEGUI: <what>: <text>") and
// turns into false.
bool Try(const char* what, const std::function<void()>& code);

// UTF-8 text to a GUI string and back.
CEGUI::String ToGui(const char* utf8);
CEGUI::String ToGui(const std::string& utf8);
std::string ToUtf8(const CEGUI::String& text);

// Every image reference "set:X image:Y" in a text (a property value or markup)
// becomes "X/Y"; everything else is kept.
std::string ConvertImageText(const std::string& text);
// Property names: "Tooltip" -> "TooltipText", "UnifiedAreaRect" -> "Area",
// "UnifiedPosition" -> "Position" and the other "Unified*" names; others unchanged.
std::string ConvertPropertyName(const std::string& name);

// Sets a property only when the window has it (after both conversions); false for
// a null window, an unknown property or a value CEGUI refuses.
bool SetProperty(CEGUI::Window* window, const std::string& name, const std::string& value);
// False for a null window or an unknown property.
bool GetProperty(CEGUI::Window* window, const std::string& name, std::string& out);

// A game path ("..\..\..\data\gui\x.dds") as a file path of this system: "/"
// separators and the actual case of existing folders and files.
std::string ResolveFilePath(const char* path);

// Loads a layout file of the resource group (default group when empty) with the
// property hook; the root's name gets the prefix in front. Null when it fails.
CEGUI::Window* LoadLayout(const std::string& file, const std::string& prefix,
                          CEGUI::WindowManager::PropertyCallback* hook, void* userData = nullptr);
// A deep copy of a window tree whose root is named newName (children keep their names).
CEGUI::Window* CloneWindow(CEGUI::Window* root, const std::string& newName);
// Destroys a window through the window manager (null is ignored).
void DestroyWindow(CEGUI::Window* window);

// A widget by its full name as the layouts give it ("Root/Child/Grandchild"),
// relative to the frame's root: the root itself, a path below it, or else any
// descendant with exactly that name. Null when none.
CEGUI::Window* FindWidget(CEGUI::Window* root, const std::string& fullName);

// An imageset made of one picture file, with the single image "full_image", so that
// "set:<name> image:full_image" shows the whole picture.
bool CreateImagesetFromFile(const std::string& imageset, const std::string& file, const std::string& group);
bool IsImagesetDefined(const std::string& imageset);
// Destroys the image and its texture, so the name can be used again.
void DestroyImageset(const std::string& imageset);

// A GUI texture of a new name (each call its own) showing an engine texture made
// in memory: over its GL texture in a window, so updates of the engine texture
// show at once; headless an empty texture of its size (the null renderer draws
// nothing). Null when the renderer or the texture is missing. Destroy it through
// the renderer (destroyTexture).
CEGUI::Texture* CreateTextureOver(CEGUI::Renderer* renderer, VTextureObject* texture);
// Defines the image "<imageset>/full_image" on a GUI texture: the area from (0, 0)
// of the given size, no offset, auto-scaled with the texture's size as native
// resolution. An existing image of the name is replaced. DestroyImageset removes it
// (the texture stays).
bool DefineImageOnTexture(const std::string& imageset, CEGUI::Texture* texture, float width, float height);

// Device loss for the OpenGL renderer: GrabTextures copies every GUI texture to
// memory and frees its GL texture (while the old context is current),
// RestoreTextures makes them again from the copies. False (nothing done) for a null
// or another renderer, which keeps no device objects.
bool GrabTextures(CEGUI::Renderer* renderer);
bool RestoreTextures(CEGUI::Renderer* renderer);

// Debian's CEGUI has no regex library: every edit box gets a std::regex validator
// when it is created (layouts with validation strings load then). Call once after
// the CEGUI system exists.
void InstallEditboxValidators();

}  // namespace CeguiCompat
