// CEGUI 0.8 adapter: conversions, guarded calls, layouts, images and validators.
#include "gui/CeguiCompat.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VisionApp.h"
#include "engine/render/VTextureObject.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>
#include <CEGUI/RendererModules/OpenGL/GLRenderer.h>

#include <exception>
#include <regex>

namespace CeguiCompat {

bool Try(const char* what, const std::function<void()>& code) {
  try {
    code();
    return true;
  } catch (const CEGUI::Exception& e) {
    Vision::Error.Warning("CEGUI: %s: %s", what, e.getMessage().c_str());
  } catch (const std::exception& e) {
    Vision::Error.Warning("CEGUI: %s: %s", what, e.what());
  }
  return false;
}

CEGUI::Renderer* CreateRenderer(const CEGUI::Sizef& displaySize) {
  CEGUI::Renderer* made = nullptr;
  Try("renderer", [&] {
    // With a window CEGUI draws into its current OpenGL context.
    if (!VVideo::IsHeadless()) {
      made = &CEGUI::OpenGLRenderer::create(displaySize);
      return;
    }
    CEGUI::NullRenderer& renderer = CEGUI::NullRenderer::create();
    renderer.setDisplaySize(displaySize);
    made = &renderer;
  });
  return made;
}

void DestroyRenderer(CEGUI::Renderer* renderer) {
  if (auto* null = dynamic_cast<CEGUI::NullRenderer*>(renderer))
    CEGUI::NullRenderer::destroy(*null);
  else if (auto* gl = dynamic_cast<CEGUI::OpenGLRenderer*>(renderer))
    CEGUI::OpenGLRenderer::destroy(*gl);
}

CEGUI::String ToGui(const char* utf8) {
  if (!utf8 || !*utf8) return CEGUI::String();
  return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(utf8));
}

CEGUI::String ToGui(const std::string& utf8) { return ToGui(utf8.c_str()); }

std::string ToUtf8(const CEGUI::String& text) { return std::string(text.c_str()); }

std::string ConvertImageText(const std::string& text) {
  static const std::regex imageRef("set:([^\\s'\"\\]]+)\\s+image:([^\\s'\"\\]]+)");
  return std::regex_replace(text, imageRef, "$1/$2");
}

std::string ConvertPropertyName(const std::string& name) {
  static const std::pair<const char*, const char*> renames[] = {
      {"Tooltip", "TooltipText"},          {"UnifiedAreaRect", "Area"},    {"UnifiedPosition", "Position"},
      {"UnifiedSize", "Size"},             {"UnifiedWidth", "Width"},      {"UnifiedHeight", "Height"},
      {"UnifiedMinSize", "MinSize"},       {"UnifiedMaxSize", "MaxSize"},
  };
  for (const auto& r : renames)
    if (name == r.first) return r.second;
  return name;
}

namespace {

// 0.8 has no property for one axis of the position: the axis is read and written
// through "Position". -1 for any other name.
int PositionAxis(const std::string& name) {
  if (name == "UnifiedXPosition") return 0;
  if (name == "UnifiedYPosition") return 1;
  return -1;
}

}  // namespace

bool SetProperty(CEGUI::Window* window, const std::string& name, const std::string& value) {
  if (!window) return false;
  if (const int axis = PositionAxis(name); axis >= 0) {
    bool done = false;
    Try("set position", [&] {
      const CEGUI::UDim dim = CEGUI::PropertyHelper<CEGUI::UDim>::fromString(ToGui(value));
      if (axis == 0)
        window->setXPosition(dim);
      else
        window->setYPosition(dim);
      done = true;
    });
    return done;
  }
  const CEGUI::String property = ToGui(ConvertPropertyName(name));
  bool done = false;
  Try("set property", [&] {
    if (!window->isPropertyPresent(property)) return;
    window->setProperty(property, ToGui(ConvertImageText(value)));
    done = true;
  });
  return done;
}

bool GetProperty(CEGUI::Window* window, const std::string& name, std::string& out) {
  if (!window) return false;
  if (const int axis = PositionAxis(name); axis >= 0) {
    const CEGUI::UVector2& position = window->getPosition();
    out = ToUtf8(CEGUI::PropertyHelper<CEGUI::UDim>::toString(axis == 0 ? position.d_x : position.d_y));
    return true;
  }
  const CEGUI::String property = ToGui(ConvertPropertyName(name));
  bool done = false;
  Try("get property", [&] {
    if (!window->isPropertyPresent(property)) return;
    out = ToUtf8(window->getProperty(property));
    done = true;
  });
  return done;
}

std::string ResolveFilePath(const char* path) {
  std::string normal = VFileHelper::NormalizePath(path ? path : "");
  std::string found;
  return VFileHelper::FindCaseInsensitive(normal, found) ? found : normal;
}

CEGUI::Window* LoadLayout(const std::string& file, const std::string& prefix,
                          CEGUI::WindowManager::PropertyCallback* hook, void* userData) {
  CEGUI::Window* root = nullptr;
  try {
    root = CEGUI::WindowManager::getSingleton().loadLayoutFromFile(ToGui(file), "", hook, userData);
    if (root && !prefix.empty()) root->setName(ToGui(prefix) + root->getName());
  } catch (const CEGUI::Exception&) {
    // CEGUI has written the reason (a missing or malformed file) to its own log.
    if (root) DestroyWindow(root);
    root = nullptr;
  }
  return root;
}

CEGUI::Window* CloneWindow(CEGUI::Window* root, const std::string& newName) {
  if (!root) return nullptr;
  CEGUI::Window* copy = nullptr;
  Try("clone window", [&] {
    copy = root->clone(true);
    copy->setName(ToGui(newName));
  });
  return copy;
}

void DestroyWindow(CEGUI::Window* window) {
  if (!window) return;
  Try("destroy window", [&] { CEGUI::WindowManager::getSingleton().destroyWindow(window); });
}

CEGUI::Window* FindWidget(CEGUI::Window* root, const std::string& fullName) {
  if (!root || fullName.empty()) return nullptr;
  CEGUI::Window* found = nullptr;
  Try("find widget", [&] {
    const CEGUI::String name = ToGui(fullName);
    const CEGUI::String rootName = root->getName();
    if (name == rootName) {
      found = root;
      return;
    }
    if (name.size() > rootName.size() + 1 && name.compare(0, rootName.size(), rootName) == 0 &&
        name[rootName.size()] == '/') {
      const CEGUI::String path = name.substr(rootName.size() + 1);
      if (root->isChild(path)) {
        found = root->getChild(path);
        return;
      }
    }
    found = root->getChildRecursive(name);
  });
  return found;
}

static CEGUI::String FullImageName(const std::string& imageset) { return ToGui(imageset + "/full_image"); }

bool CreateImagesetFromFile(const std::string& imageset, const std::string& file, const std::string& group) {
  return Try("image file", [&] {
    CEGUI::ImageManager::getSingleton().addFromImageFile(FullImageName(imageset), ToGui(file), ToGui(group));
  });
}

bool IsImagesetDefined(const std::string& imageset) {
  bool defined = false;
  Try("image lookup", [&] { defined = CEGUI::ImageManager::getSingleton().isDefined(FullImageName(imageset)); });
  return defined;
}

void DestroyImageset(const std::string& imageset) {
  const CEGUI::String name = FullImageName(imageset);
  Try("destroy image", [&] {
    if (CEGUI::ImageManager::getSingleton().isDefined(name)) CEGUI::ImageManager::getSingleton().destroy(name);
    CEGUI::Renderer* renderer = CEGUI::System::getSingleton().getRenderer();
    if (renderer->isTextureDefined(name)) renderer->destroyTexture(name);
  });
}

CEGUI::Texture* CreateTextureOver(CEGUI::Renderer* renderer, VTextureObject* texture) {
  if (!renderer || !texture || texture->GetTextureWidth() <= 0 || texture->GetTextureHeight() <= 0) return nullptr;
  static unsigned s_count = 0;
  const CEGUI::String name = ToGui("EngineTexture_" + std::to_string(++s_count));
  const CEGUI::Sizef size((float)texture->GetTextureWidth(), (float)texture->GetTextureHeight());
  CEGUI::Texture* made = nullptr;
  Try("texture over engine texture", [&] {
    if (auto* gl = dynamic_cast<CEGUI::OpenGLRenderer*>(renderer)) {
      if (texture->GetGLHandle()) made = &gl->createTexture(name, (GLuint)texture->GetGLHandle(), size);
      return;
    }
    made = &renderer->createTexture(name, size);
  });
  return made;
}

bool DefineImageOnTexture(const std::string& imageset, CEGUI::Texture* texture, float width, float height) {
  if (!texture) return false;
  const CEGUI::String name = FullImageName(imageset);
  return Try("image on texture", [&] {
    CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
    if (images.isDefined(name)) images.destroy(name);
    auto& image = static_cast<CEGUI::BasicImage&>(images.create("BasicImage", name));
    image.setTexture(texture);
    image.setArea(CEGUI::Rectf(0.0f, 0.0f, width, height));
    image.setOffset(CEGUI::Vector2f(0.0f, 0.0f));
    image.setAutoScaled(CEGUI::ASM_Both);
    image.setNativeResolution(texture->getSize());
  });
}

bool GrabTextures(CEGUI::Renderer* renderer) {
  auto* gl = dynamic_cast<CEGUI::OpenGLRendererBase*>(renderer);
  return gl && Try("grab textures", [&] { gl->grabTextures(); });
}

bool RestoreTextures(CEGUI::Renderer* renderer) {
  auto* gl = dynamic_cast<CEGUI::OpenGLRendererBase*>(renderer);
  return gl && Try("restore textures", [&] { gl->restoreTextures(); });
}

// Validator of an edit box over std::regex. std::regex knows no partial match, so a
// text is either valid (it matches the whole expression) or invalid.
class StdRegexValidator : public CEGUI::RegexMatcher {
 public:
  void setRegexString(const CEGUI::String& regex) override {
    m_text = regex;
    try {
      m_regex = std::regex(ToUtf8(regex));
      m_valid = true;
    } catch (const std::regex_error&) {
      Vision::Error.Warning("CEGUI: invalid validation string \"%s\"", regex.c_str());
      m_valid = false;
    }
  }
  const CEGUI::String& getRegexString() const override { return m_text; }
  MatchState getMatchStateOfString(const CEGUI::String& str) const override {
    if (!m_valid) return MS_INVALID;
    return std::regex_match(ToUtf8(str), m_regex) ? MS_VALID : MS_INVALID;
  }

 private:
  CEGUI::String m_text;
  std::regex m_regex;
  bool m_valid = false;
};

static bool OnEditboxDestroyed(StdRegexValidator* validator, const CEGUI::EventArgs& args) {
  auto* editbox = static_cast<CEGUI::Editbox*>(static_cast<const CEGUI::WindowEventArgs&>(args).window);
  editbox->setValidator(nullptr);
  delete validator;
  return true;
}

static bool OnWindowCreated(const CEGUI::EventArgs& args) {
  auto* editbox = dynamic_cast<CEGUI::Editbox*>(static_cast<const CEGUI::WindowEventArgs&>(args).window);
  if (!editbox) return false;
  auto* validator = new StdRegexValidator();
  editbox->setValidator(validator);
  validator->setRegexString(editbox->getValidationString());
  editbox->subscribeEvent(CEGUI::Window::EventDestructionStarted,
                          CEGUI::Event::Subscriber([validator](const CEGUI::EventArgs& e) {
                            return OnEditboxDestroyed(validator, e);
                          }));
  return true;
}

void InstallEditboxValidators() {
  Try("edit box validators", [] {
    CEGUI::WindowManager::getSingleton().subscribeEvent(CEGUI::WindowManager::EventWindowCreated,
                                                        CEGUI::Event::Subscriber(&OnWindowCreated));
  });
}

}  // namespace CeguiCompat
