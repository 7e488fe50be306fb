#include "screen_animation.h"

#include "named_mode.h"

namespace {

struct Frame {
  GdkPixbuf* picture;
  std::int64_t ends_at;  // milliseconds from the cycle's start
};

struct ScreenAnimation {
  GdkPixbufAnimation parent;
  std::vector<Frame>* frames;
};
struct ScreenAnimationClass {
  GdkPixbufAnimationClass parent_class;
};
struct ScreenAnimationIter {
  GdkPixbufAnimationIter parent;
  ScreenAnimation* animation;  // a reference
  std::int64_t start;          // microseconds, as GTimeVal counts them
  std::int64_t position;       // milliseconds into the cycle
  std::size_t frame;
};
struct ScreenAnimationIterClass {
  GdkPixbufAnimationIterClass parent_class;
};

GObjectClass* animation_parent_class;
GObjectClass* iter_parent_class;

const std::vector<Frame>& frames_of(GdkPixbufAnimation* animation) {
  return *reinterpret_cast<ScreenAnimation*>(animation)->frames;
}
ScreenAnimationIter& iter_of(GdkPixbufAnimationIter* iter) { return *reinterpret_cast<ScreenAnimationIter*>(iter); }
const std::vector<Frame>& frames_of(GdkPixbufAnimationIter* iter) { return *iter_of(iter).animation->frames; }

void animation_finalize(GObject* object) {
  auto* animation = reinterpret_cast<ScreenAnimation*>(object);
  for (Frame& frame : *animation->frames) g_object_unref(frame.picture);
  delete animation->frames;
  animation_parent_class->finalize(object);
}
void iter_finalize(GObject* object) {
  g_object_unref(reinterpret_cast<ScreenAnimationIter*>(object)->animation);
  iter_parent_class->finalize(object);
}

void get_size(GdkPixbufAnimation* animation, int* width, int* height) {
  if (width) *width = gdk_pixbuf_get_width(frames_of(animation).front().picture);
  if (height) *height = gdk_pixbuf_get_height(frames_of(animation).front().picture);
}

// GTimeVal, deprecated, is in the class's own signatures.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

std::int64_t microseconds(const GTimeVal* time) { return std::int64_t{time->tv_sec} * G_USEC_PER_SEC + time->tv_usec; }

GType iter_type();

GdkPixbufAnimationIter* get_iter(GdkPixbufAnimation* animation, const GTimeVal* start_time) {
  auto* iter = static_cast<ScreenAnimationIter*>(g_object_new(iter_type(), nullptr));
  iter->animation = reinterpret_cast<ScreenAnimation*>(g_object_ref(animation));
  iter->start = microseconds(start_time);
  return &iter->parent;
}

// The frame shown `now`, the cycle repeating from the iterator's start.
// Answers whether that is another frame than before.
gboolean advance(GdkPixbufAnimationIter* it, const GTimeVal* now) {
  ScreenAnimationIter& iter = iter_of(it);
  const std::vector<Frame>& frames = frames_of(it);
  if (microseconds(now) < iter.start) iter.start = microseconds(now);  // the clock was set back: start again
  const std::int64_t cycle = frames.back().ends_at;
  iter.position = frames.size() > 1 ? (microseconds(now) - iter.start) / 1000 % cycle : 0;
  std::size_t frame = 0;
  while (frames[frame].ends_at <= iter.position && frame + 1 < frames.size()) ++frame;
  const bool changed = frame != iter.frame;
  iter.frame = frame;
  return changed;
}

G_GNUC_END_IGNORE_DEPRECATIONS

// Milliseconds until the next frame, or -1: the one picture is shown for ever.
int get_delay_time(GdkPixbufAnimationIter* it) {
  const std::vector<Frame>& frames = frames_of(it);
  if (frames.size() == 1) return -1;
  return static_cast<int>(frames[iter_of(it).frame].ends_at - iter_of(it).position);
}

void animation_class_init(gpointer type, gpointer) {
  animation_parent_class = G_OBJECT_CLASS(g_type_class_peek_parent(type));
  G_OBJECT_CLASS(type)->finalize = animation_finalize;
  auto* animation = static_cast<GdkPixbufAnimationClass*>(type);
  animation->is_static_image = [](GdkPixbufAnimation* a) -> gboolean { return frames_of(a).size() == 1; };
  animation->get_static_image = [](GdkPixbufAnimation* a) { return frames_of(a).front().picture; };
  animation->get_size = get_size;
  animation->get_iter = get_iter;
}

void iter_class_init(gpointer type, gpointer) {
  iter_parent_class = G_OBJECT_CLASS(g_type_class_peek_parent(type));
  G_OBJECT_CLASS(type)->finalize = iter_finalize;
  auto* iter = static_cast<GdkPixbufAnimationIterClass*>(type);
  iter->get_delay_time = get_delay_time;
  iter->get_pixbuf = [](GdkPixbufAnimationIter* i) { return frames_of(i)[iter_of(i).frame].picture; };
  // Every frame is whole: a reader waiting for a loaded frame can stop.
  iter->on_currently_loading_frame = [](GdkPixbufAnimationIter*) -> gboolean { return FALSE; };
  iter->advance = advance;
}

// The types live as long as the process: the module stays loaded once
// gdk-pixbuf has opened it (g_module_check_init in screen_loader.cpp).
GType animation_type() {
  static const GType type = g_type_register_static_simple(
      GDK_TYPE_PIXBUF_ANIMATION, MODULE_TYPE_NAME("TesselonScreenAnimation"), sizeof(ScreenAnimationClass),
      animation_class_init, sizeof(ScreenAnimation), nullptr, G_TYPE_FLAG_FINAL);
  return type;
}
GType iter_type() {
  static const GType type = g_type_register_static_simple(
      GDK_TYPE_PIXBUF_ANIMATION_ITER, MODULE_TYPE_NAME("TesselonScreenAnimationIter"), sizeof(ScreenAnimationIterClass),
      iter_class_init, sizeof(ScreenAnimationIter), nullptr, G_TYPE_FLAG_FINAL);
  return type;
}

}  // namespace

GdkPixbufAnimation* screen_animation_new(const std::vector<AnimationFrame>& frames) {
  auto* animation = static_cast<ScreenAnimation*>(g_object_new(animation_type(), nullptr));
  animation->frames = new std::vector<Frame>;
  std::int64_t ends_at = 0;
  for (const AnimationFrame& frame : frames) {
    ends_at += frame.milliseconds;
    animation->frames->push_back({GDK_PIXBUF(g_object_ref(frame.picture)), ends_at});
  }
  return &animation->parent;
}
