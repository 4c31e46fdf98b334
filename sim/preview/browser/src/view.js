// The 3D view: renderer, lights, an orbit camera about the vehicle's own up axis, its preset views
// and framing on a part. Draws only when something changed, so a paused page costs nothing.
import {
  Box3,
  Color,
  DirectionalLight,
  GridHelper,
  HemisphereLight,
  PerspectiveCamera,
  Quaternion,
  Scene,
  Vector3,
  WebGLRenderer,
} from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

// The vehicle's forward and up in the scene: the root frame's +Y and +Z, through the axes mapping
// and the root node's own turn as modelled.
function vehicleAxes(model, rootNode, axes) {
  const turn = model.nodeObject(rootNode)?.getWorldQuaternion(new Quaternion()) ?? new Quaternion();
  const direction = (a) => new Vector3(...axes[a]).normalize().applyQuaternion(turn);
  const forward = direction('y');
  const up = direction('z');
  return { forward, up, right: new Vector3().crossVectors(forward, up) };
}

// riderParts: the objects that the rider view frames, the controls and instruments on the handlebar.
export function createView(container, model, { axes, rootNode, riderParts = [] }) {
  const renderer = new WebGLRenderer({ antialias: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  container.replaceChildren(renderer.domElement);

  const scene = new Scene();
  scene.background = new Color(0x111729);
  scene.add(new HemisphereLight(0xdde6ff, 0x30281e, 1.6));
  const sun = new DirectionalLight(0xffffff, 2.2);
  sun.position.set(3, 5, 2);
  scene.add(sun, model.root);

  const { forward, up, right } = vehicleAxes(model, rootNode, axes);
  const bounds = new Box3().setFromObject(model.root);
  const size = bounds.isEmpty() ? 1 : bounds.getSize(new Vector3()).length();
  const centre = bounds.isEmpty() ? new Vector3() : bounds.getCenter(new Vector3());
  // The ground: under the model, across the vehicle's up axis.
  const grid = new GridHelper(size * 2, 20, 0x3a4668, 0x26304a);
  grid.quaternion.setFromUnitVectors(new Vector3(0, 1, 0), up);
  const lowest = bounds.isEmpty() ? 0 : Math.min(...boxCorners(bounds).map((corner) => corner.sub(centre).dot(up)));
  grid.position.copy(centre).addScaledVector(up, lowest);
  scene.add(grid);

  const camera = new PerspectiveCamera(40, 1, size / 1000, size * 100);
  camera.up.copy(up); // the controls orbit about the camera's up as they find it
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.zoomToCursor = true;

  // Where each preset looks from, as a direction from the target; "rider" also moves the target.
  const presets = {
    // From above the rear right, where a vehicle's controls and instruments face.
    reset: () => ({
      from: right.clone().multiplyScalar(0.7).addScaledVector(up, 0.45).addScaledVector(forward, -0.65),
    }),
    front: () => ({ from: forward.clone().addScaledVector(up, 0.08) }),
    side: () => ({ from: right.clone().addScaledVector(up, 0.08) }),
    // Straight down, the vehicle's front at the top of the view.
    top: () => ({ from: up.clone().addScaledVector(forward, -0.002) }),
    // Behind and above the seat, looking ahead at the controls and instruments the rider sees.
    rider: () => {
      const from = forward.clone().multiplyScalar(-0.45).addScaledVector(up, 0.3);
      const seen = new Box3();
      riderParts.forEach((part) => seen.expandByObject(part));
      if (!seen.isEmpty()) {
        return {
          from,
          target: seen.getCenter(new Vector3()),
          extent: Math.max(seen.getSize(new Vector3()).length(), size / 8),
        };
      }
      // A model with none of them: the upper front of the model, where they usually are.
      const reach = (axis) => Math.max(...boxCorners(bounds).map((corner) => corner.sub(centre).dot(axis)));
      return {
        from,
        target: centre
          .clone()
          .addScaledVector(forward, reach(forward) / 2)
          .addScaledVector(up, reach(up) / 2),
        extent: size / 2,
      };
    },
  };

  let pending = false;
  const afterRender = [];
  function requestRender() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      afterRender.forEach((update) => update());
      renderer.render(scene, camera);
    });
  }
  controls.addEventListener('change', requestRender);

  // Puts the camera at `from` (a direction) off the target, far enough to see a box of `extent`.
  function look(target, from, extent) {
    const distance = extent / 2 / Math.sin((camera.fov * Math.PI) / 360);
    controls.target.copy(target);
    camera.position.copy(target).addScaledVector(from.clone().normalize(), distance);
    controls.update();
    requestRender();
  }

  function setView(name) {
    const preset = presets[name];
    if (!preset) throw new Error(`no view named ${name}`);
    const { from, target = centre, extent = size } = preset();
    look(target, from, extent);
  }

  new ResizeObserver(() => {
    const { clientWidth: width, clientHeight: height } = container;
    if (width === 0 || height === 0) return;
    renderer.setSize(width, height);
    camera.aspect = width / height;
    camera.updateProjectionMatrix();
    requestRender();
  }).observe(container);

  setView('reset');
  return {
    scene,
    camera,
    canvas: renderer.domElement,
    requestRender,
    onRender: (update) => afterRender.push(update),
    setView,
    // Frames an object from where the camera looks now; an empty object is left as it is.
    frame(object) {
      const box = new Box3().setFromObject(object);
      if (box.isEmpty()) return;
      const extent = Math.max(box.getSize(new Vector3()).length(), size / 50);
      look(box.getCenter(new Vector3()), camera.position.clone().sub(controls.target), extent * 1.2);
    },
    // Where an object's box lies on the screen, from -1 to 1 across and up the view, for tests.
    onScreen(object) {
      const box = new Box3().setFromObject(object);
      camera.updateMatrixWorld(); // the view may not have been drawn since the camera moved
      const points = box.isEmpty() ? [] : boxCorners(box).map((corner) => corner.project(camera));
      const along = (axis) => points.map((point) => point[axis]);
      return {
        min: [Math.min(...along('x')), Math.min(...along('y'))],
        max: [Math.max(...along('x')), Math.max(...along('y'))],
      };
    },
    // The camera's place and target, for a page started again on new data.
    get cameraState() {
      return { position: camera.position.toArray(), target: controls.target.toArray() };
    },
    set cameraState({ position, target }) {
      camera.position.fromArray(position);
      controls.target.fromArray(target);
      controls.update();
      requestRender();
    },
  };
}

export function boxCorners(box) {
  const corners = [];
  for (const x of [box.min.x, box.max.x]) {
    for (const y of [box.min.y, box.max.y]) for (const z of [box.min.z, box.max.z]) corners.push(new Vector3(x, y, z));
  }
  return corners;
}
