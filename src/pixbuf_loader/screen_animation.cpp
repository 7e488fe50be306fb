#include "screen_animation.h"

namespace {

struct TesselonScreenAnimation {
  GdkPixbufAnimation parent;
  GdkPixbuf* picture;
};
struct TesselonScreenAnimationClass {
  GdkPixbufAnimationClass parent_class;
};
struct TesselonScreenAnimationIter {
  GdkPixbufAnimationIter parent;
  GdkPixbuf* picture;
};
struct TesselonScreenAnimationIterClass {
  GdkPixbufAnimationIterClass parent_class;
};

// The types live as long as the process: the module stays loaded once
// gdk-pixbuf has opened it (g_module_check_init in ss4_loader.cpp).
G_DEFINE_FINAL_TYPE(TesselonScreenAnimation, tesselon_screen_animation, GDK_TYPE_PIXBUF_ANIMATION)
G_DEFINE_FINAL_TYPE(TesselonScreenAnimationIter, tesselon_screen_animation_iter, GDK_TYPE_PIXBUF_ANIMATION_ITER)

GdkPixbuf* picture_of(GdkPixbufAnimation* animation) {
  return reinterpret_cast<TesselonScreenAnimation*>(animation)->picture;
}
GdkPixbuf* picture_of(GdkPixbufAnimationIter* iter) {
  return reinterpret_cast<TesselonScreenAnimationIter*>(iter)->picture;
}

void tesselon_screen_animation_init(TesselonScreenAnimation*) {}
void tesselon_screen_animation_iter_init(TesselonScreenAnimationIter*) {}

void animation_finalize(GObject* object) {
  g_clear_object(&reinterpret_cast<TesselonScreenAnimation*>(object)->picture);
  G_OBJECT_CLASS(tesselon_screen_animation_parent_class)->finalize(object);
}
void iter_finalize(GObject* object) {
  g_clear_object(&reinterpret_cast<TesselonScreenAnimationIter*>(object)->picture);
  G_OBJECT_CLASS(tesselon_screen_animation_iter_parent_class)->finalize(object);
}

void get_size(GdkPixbufAnimation* animation, int* width, int* height) {
  if (width) *width = gdk_pixbuf_get_width(picture_of(animation));
  if (height) *height = gdk_pixbuf_get_height(picture_of(animation));
}

// GTimeVal, deprecated, is in the class's own signatures.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

GdkPixbufAnimationIter* get_iter(GdkPixbufAnimation* animation, const GTimeVal*) {
  auto* iter =
      static_cast<TesselonScreenAnimationIter*>(g_object_new(tesselon_screen_animation_iter_get_type(), nullptr));
  iter->picture = GDK_PIXBUF(g_object_ref(picture_of(animation)));
  return &iter->parent;
}
gboolean advance(GdkPixbufAnimationIter*, const GTimeVal*) { return FALSE; }

G_GNUC_END_IGNORE_DEPRECATIONS

void tesselon_screen_animation_class_init(TesselonScreenAnimationClass* type) {
  G_OBJECT_CLASS(type)->finalize = animation_finalize;
  GdkPixbufAnimationClass* animation = &type->parent_class;
  animation->is_static_image = [](GdkPixbufAnimation*) -> gboolean { return TRUE; };
  animation->get_static_image = [](GdkPixbufAnimation* a) { return picture_of(a); };
  animation->get_size = get_size;
  animation->get_iter = get_iter;
}

void tesselon_screen_animation_iter_class_init(TesselonScreenAnimationIterClass* type) {
  G_OBJECT_CLASS(type)->finalize = iter_finalize;
  GdkPixbufAnimationIterClass* iter = &type->parent_class;
  iter->get_delay_time = [](GdkPixbufAnimationIter*) { return -1; };  // shown for ever
  iter->get_pixbuf = [](GdkPixbufAnimationIter* i) { return picture_of(i); };
  // The one frame is whole: a reader waiting for a loaded frame can stop.
  iter->on_currently_loading_frame = [](GdkPixbufAnimationIter*) -> gboolean { return FALSE; };
  iter->advance = advance;
}

}  // namespace

GdkPixbufAnimation* screen_animation_new(GdkPixbuf* picture) {
  auto* animation = static_cast<TesselonScreenAnimation*>(g_object_new(tesselon_screen_animation_get_type(), nullptr));
  animation->picture = GDK_PIXBUF(g_object_ref(picture));
  return &animation->parent;
}
